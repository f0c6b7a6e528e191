#include "player/MediaWorker.h"

#include "player/LinkText.h"

#include <pthread.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

namespace player {

namespace {

constexpr std::string_view playVideoCaption = "Play Video ";
constexpr std::string_view loadingCaption = "Loading Current Video : Please Wait a Moment ";

bool carriedOut(std::string_view message) {
    return message.find("carried out") != std::string_view::npos;
}

} // namespace

std::string progressText(std::int64_t position, std::int64_t length) {
    const float percent =
        length == 0 ? 0.0f : static_cast<float>(position) / static_cast<float>(length) * 100.0f;
    char text[32];
    std::snprintf(text, sizeof text, "%3ld", std::lround(percent));
    return text;
}

std::string elapsedText(std::int64_t position) {
    const std::int64_t seconds = position / 1000;
    const std::int64_t minutes = seconds / 60;
    const std::int64_t rest = seconds % 60;
    return std::to_string(minutes) + (rest < 10 ? " : 0" : " : ") + std::to_string(rest);
}

MediaWorker::MediaWorker(PlayerFactory makePlayer, Sink sink)
    : makePlayer_(std::move(makePlayer)), sink_(std::move(sink)) {
    thread_ = std::thread([this] { run(); });
}

MediaWorker::~MediaWorker() {
    end();
}

void MediaWorker::setLink(std::string_view address) {
    std::lock_guard lock(mutex_);
    if (address != link_) {
        link_ = std::string(address);
        newLink_ = true;
    }
}

void MediaWorker::markLinkNew() {
    std::lock_guard lock(mutex_);
    newLink_ = true;
}

void MediaWorker::post(WorkerCommand command, const WorkerInputs& inputs) {
    {
        std::lock_guard lock(mutex_);
        inputs_ = inputs;
        slot_.store(static_cast<std::uint8_t>(command));
    }
    wake_.notify_one();
}

void MediaWorker::suspend() {
    std::lock_guard lock(mutex_);
    suspended_ = true;
}

void MediaWorker::resume() {
    {
        std::lock_guard lock(mutex_);
        if (!suspended_)
            return;
        suspended_ = false;
    }
    wake_.notify_one();
}

bool MediaWorker::suspended() const {
    std::lock_guard lock(mutex_);
    return suspended_;
}

bool MediaWorker::resting() const {
    std::lock_guard lock(mutex_);
    return slot_.load() == 0 || (suspended_ && !working_);
}

void MediaWorker::end() noexcept {
    if (thread_.joinable()) {
        {
            std::lock_guard lock(mutex_);
            quit_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }
    // Releasing the player: the worker has left its loop, so this thread may.
    if (player_) {
        try {
            player_->stop();
        } catch (const platform::MediaError&) {
        }
        player_->close();
        player_.reset();
    }
}

void MediaWorker::send(WorkerUpdate update) {
    if (sink_)
        sink_(std::move(update));
}

void MediaWorker::setStatus(std::string status, bool show) {
    status_ = status;
    WorkerUpdate u;
    u.status = std::move(status);
    u.showStatus = show;
    send(std::move(u));
}

void MediaWorker::run() {
    // Named, so that a look at the process's threads finds it.
    ::pthread_setname_np(::pthread_self(), "media-worker");
    if (makePlayer_) {
        try {
            player_ = makePlayer_();
        } catch (const std::exception&) {
            // No player: every open fails and shows "Error Opening".
        }
    }
    for (;;) {
        WorkerCommand command;
        WorkerInputs in;
        {
            std::unique_lock lock(mutex_);
            // Ending wakes a suspended worker too.
            wake_.wait(lock, [this] { return quit_ || (!suspended_ && slot_.load() != 0); });
            if (quit_)
                return;
            command = static_cast<WorkerCommand>(slot_.load());
            in = inputs_;
            working_ = true;
        }
        bool keepCommand = false;
        try {
            switch (command) {
            case WorkerCommand::Play:
                play(in, keepCommand);
                break;
            default:
                carryOut(command, in);
                break;
            }
        } catch (const platform::MediaError& error) {
            // A player error (a pause or seek with nothing open) ends only this
            // command: the busy animation stops and the next request works.
            WorkerUpdate u;
            u.lastMessage = error.what();
            u.busy = false;
            send(std::move(u));
        } catch (const std::exception& error) {
            WorkerUpdate u;
            u.lastMessage = error.what();
            u.busy = false;
            send(std::move(u));
        }
        if (keepCommand) {
            std::lock_guard lock(mutex_);
            working_ = false;
            continue;
        }
        // Reported before the slot empties, so that whoever sees an empty slot
        // has every report of the command on its way.
        WorkerUpdate done;
        done.commandDone = true;
        send(std::move(done));
        // A command posted while this one ran stays in the slot for the next turn.
        std::lock_guard lock(mutex_);
        auto expected = static_cast<std::uint8_t>(command);
        slot_.compare_exchange_strong(expected, 0);
        working_ = false;
    }
}

void MediaWorker::carryOut(WorkerCommand command, const WorkerInputs& in) {
    switch (command) {
    case WorkerCommand::Stop:
        stop(in);
        break;
    case WorkerCommand::Fit:
        fit(in);
        fit(in);
        break;
    case WorkerCommand::PauseToggle:
        pauseToggle();
        break;
    case WorkerCommand::Attach: {
        WorkerUpdate u;
        u.hideMainWindow = true;
        send(std::move(u));
        if (player_)
            player_->setDisplayWindow(in.panelWindow);
        fit(in);
        break;
    }
    case WorkerCommand::Poll:
        poll(in);
        break;
    case WorkerCommand::CloseRelease:
        if (player_) {
            player_->close();
            player_.reset();
        }
        break;
    case WorkerCommand::Seek:
        seek(in);
        break;
    case WorkerCommand::Volume:
        if (player_)
            player_->setVolume(in.volume);
        break;
    default:
        break; // not a command: skipped
    }
}

void MediaWorker::openLink(const WorkerInputs& in) {
    std::string link;
    {
        std::lock_guard lock(mutex_);
        link = link_;
        newLink_ = false;
    }
    openFailed_ = false;
    {
        WorkerUpdate u;
        u.linkTaken = true;
        u.openFailed = false;
        u.menuEnabled = false;
        u.menuCaption = std::string(loadingCaption);
        u.mediaReady = false;
        send(std::move(u));
    }
    platform::MediaResult result;
    if (player_) {
        player_->setDisplayWindow(in.panelWindow);
        result = player_->open(linktext::openableAddress(link));
    } else {
        result = {false, "No media player is available."};
    }
    WorkerUpdate u;
    u.lastMessage = result.message;
    if (player_ && carriedOut(result.message))
        player_->setVolume(in.volume);
    if (!result.success || !carriedOut(result.message)) {
        openFailed_ = true;
        u.openFailed = true;
        u.busy = false;
        u.menuCaption = std::string(playVideoCaption);
        u.menuEnabled = true;
        u.pollTimer = false;
    }
    send(std::move(u));
}

void MediaWorker::play(const WorkerInputs& in, bool& keepCommand) {
    bool reopen = false;
    {
        std::lock_guard lock(mutex_);
        reopen = newLink_;
    }
    if (reopen)
        openLink(in);
    if (openFailed_) {
        setStatus("Error Opening", true);
        WorkerUpdate u;
        u.busy = false;
        send(std::move(u));
        return;
    }
    if (status_ == "Paused") {
        if (player_)
            player_->pauseToggle();
        setStatus("Playing", false);
        WorkerUpdate u;
        u.pollTimer = true;
        send(std::move(u));
        // The play command stays in the slot and runs again at the next turn.
        keepCommand = true;
        return;
    }
    setStatus("Loading..", true);
    if (player_) {
        player_->setDisplayWindow(in.panelWindow);
        if (player_->lastResult().success) {
            setStatus("Buffering..", true);
            try {
                player_->play();
            } catch (const platform::MediaError&) {
            }
        }
    }
    {
        WorkerUpdate u;
        u.volumeEnabled = true;
        send(std::move(u));
    }
    setStatus("Playing", true);
    WorkerUpdate u;
    u.menuCaption = std::string(playVideoCaption);
    u.menuEnabled = true;
    u.busy = false;
    u.pollTimer = true;
    u.localItem = false;
    send(std::move(u));
}

void MediaWorker::stop(const WorkerInputs& in) {
    if (in.playMode == 1 && status_ != "Loading..") {
        WorkerUpdate u;
        u.pollTimer = false;
        send(std::move(u));
        setStatus("Stopped", true);
    }
    WorkerUpdate u;
    if (in.playMode != 2)
        u.idleScreen = true;
    if (player_) {
        player_->setDisplayRect({0, 0, 1, 1});
        try {
            player_->stop();
            player_->seekToStart();
        } catch (const platform::MediaError&) {
        }
    }
    u.menuEnabled = true;
    send(std::move(u));
}

void MediaWorker::fit(const WorkerInputs& in) {
    if (player_)
        player_->setDisplayRect({0, 0, in.panelWidth, in.panelHeight});
}

void MediaWorker::pauseToggle() {
    if (!player_)
        return;
    player_->pauseToggle();
    WorkerUpdate u;
    if (status_ != "Paused") {
        u.pollTimer = false;
        send(std::move(u));
        setStatus("Paused", true);
    } else {
        u.pollTimer = true;
        send(std::move(u));
        setStatus("Playing", true);
    }
}

void MediaWorker::poll(const WorkerInputs& in) {
    fit(in);
    if (!player_)
        return;
    const std::int64_t position = player_->position();
    if (position < 3)
        return;
    const std::int64_t length = player_->length();
    const std::string text = progressText(position, length);
    const int value = std::stoi(text);
    {
        WorkerUpdate u;
        u.secLeft = elapsedText(position);
        send(std::move(u));
    }
    if (value == in.barPosition) {
        if (stalled_)
            setStatus("Buffering..", true);
        stalled_ = true;
    } else {
        stalled_ = false;
        setStatus("Playing", true);
    }
    {
        WorkerUpdate u;
        u.barPosition = value;
        u.minLeft = text + "%";
        send(std::move(u));
    }
    if (text == "100") {
        setStatus("Stopped", true);
        WorkerUpdate u;
        u.barMax = 100;
        u.barPosition = 0;
        u.secLeft = "0 : 00";
        u.minLeft = "0%";
        u.pollTimer = false;
        send(std::move(u));
    }
}

void MediaWorker::seek(const WorkerInputs& in) {
    if (!player_)
        return;
    frameCount_ = player_->frameCount();
    frameText_ = std::to_string(frameCount_);
    player_->pauseToggle();
    const float target =
        static_cast<float>(player_->length()) * (static_cast<float>(in.barPosition) / 100.0f);
    player_->setPosition(std::lround(target));
    player_->play();
    WorkerUpdate u;
    u.menuCaption = std::string(playVideoCaption);
    u.mediaReady = true;
    u.pollTimer = true;
    send(std::move(u));
}

} // namespace player
