#include "player/PlayerMovie.h"

#include <fstream>
#include <optional>

#include "platform/MpvMediaPlayer.h"
#include "player/MovieRequest.h"
#include "player/PollReplies.h"
#include "ui/Widgets.h"

namespace player {

namespace {

// How often the published position follows playback between requests.
constexpr std::chrono::milliseconds kRefreshInterval{100};

void expectArgument(const MovieRequest& r, std::string_view expected) {
    if (r.argument != expected)
        throw MovieError("The player movie's " + r.name + " takes \"" + std::string(expected) +
                         "\", not \"" + r.argument + "\".");
}

int numberArgument(const MovieRequest& r, int max) {
    const std::optional<int> value = toInteger(r.argument);
    if (!value || *value < 0 || *value > max || r.argument.starts_with('+') ||
        r.argument.starts_with('-'))
        throw MovieError("The player movie's " + r.name + " takes whole numbers from 0 to " +
                         std::to_string(max) + ", not \"" + r.argument + "\".");
    return *value;
}

} // namespace

PlayerMovie::PlayerMovie(PlayerMovieOptions options) : options_(options) {}

PlayerMovie::~PlayerMovie() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void PlayerMovie::loadMovie(int layer, const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::string first;
    if (!file || !std::getline(file, first))
        throw MovieError("Cannot load the player movie " + path + " into layer " +
                         std::to_string(layer) + ": the file cannot be read.");
    if (!first.empty() && first.back() == '\r')
        first.pop_back();
    if (first != kMovieSignature)
        throw MovieError("Cannot load the player movie " + path + " into layer " +
                         std::to_string(layer) + ": it is not a player movie.");
    moviePath_ = path;
}

std::string PlayerMovie::callFunction(std::string_view text) {
    const MovieRequest r = parseInvoke(text);
    if (r.name == "playVideo") {
        const std::int64_t window = surface_ ? surface_->windowId() : 0;
        {
            // The queries see the new link at once, not the previous one's state.
            std::lock_guard lock(mutex_);
            state_ = "loading";
            positionMs_ = 0;
            lengthMs_ = 0;
        }
        post({Action::Open, r.argument, window});
        return voidReply();
    }
    if (r.name == "resumeVideo") {
        expectArgument(r, "Resume");
        post({Action::Resume, {}, 0});
        return voidReply();
    }
    if (r.name == "stopVideo") {
        expectArgument(r, "Stop");
        post({Action::Stop, {}, 0});
        return voidReply();
    }
    if (r.name == "pauseVideo") {
        if (r.argument == "Pause")
            post({Action::PauseToggle, {}, 0});
        else if (r.argument == "Resume")
            post({Action::Resume, {}, 0});
        else
            throw MovieError("The player movie's pauseVideo takes \"Pause\" or \"Resume\", not \"" +
                             r.argument + "\".");
        return voidReply();
    }
    if (r.name == "timeVideo") {
        // A day of seconds is far beyond any clip; the bound keeps the arithmetic safe.
        const int seconds = numberArgument(r, 86'400);
        post({Action::Seek, {}, std::int64_t{seconds} * 1000});
        return voidReply();
    }
    if (r.name == "volumeVideo") {
        const int volume = numberArgument(r, 100);
        post({Action::Volume, {}, std::int64_t{volume} * 10});
        return voidReply();
    }
    if (r.name == "statusVideo") {
        // The movie embedded in the control answers everything but this.
        if (moviePath_.empty())
            throw MovieError("The player movie has no function statusVideo: fl8b.swf is not "
                             "loaded.");
        expectArgument(r, "status");
        std::lock_guard lock(mutex_);
        return stateReply(state_);
    }
    if (r.name == "playedVideo") {
        expectArgument(r, "played");
        std::lock_guard lock(mutex_);
        return secondsReply(static_cast<double>(positionMs_) / 1000.0);
    }
    if (r.name == "maxTimeVideo") {
        expectArgument(r, "maxTime");
        std::lock_guard lock(mutex_);
        return lengthMs_ > 0 ? secondsReply(static_cast<double>(lengthMs_) / 1000.0) : nullReply();
    }
    throw MovieError("The player movie has no function " + r.name + ".");
}

bool PlayerMovie::idle() const {
    std::lock_guard lock(mutex_);
    return queue_.empty() && !busy_;
}

std::string PlayerMovie::lastError() const {
    std::lock_guard lock(mutex_);
    return lastError_;
}

void PlayerMovie::post(Command command) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(command));
    }
    if (!thread_.joinable())
        thread_ = std::thread([this] { run(); });
    wake_.notify_all();
}

void PlayerMovie::setState(std::string word) {
    std::lock_guard lock(mutex_);
    state_ = std::move(word);
}

void PlayerMovie::run() {
    // The player lives and dies on this thread.
    std::unique_ptr<platform::MediaPlayer> player;
    for (;;) {
        std::optional<Command> command;
        {
            std::unique_lock lock(mutex_);
            wake_.wait_for(lock, kRefreshInterval, [this] { return quit_ || !queue_.empty(); });
            if (quit_)
                break;
            if (!queue_.empty()) {
                command = std::move(queue_.front());
                queue_.pop_front();
                busy_ = true;
            }
        }
        if (command)
            carryOut(*command, player);
        refresh(player.get());
        std::lock_guard lock(mutex_);
        busy_ = false;
    }
    if (player)
        player->close();
}

void PlayerMovie::carryOut(const Command& c, std::unique_ptr<platform::MediaPlayer>& player) {
    using platform::MediaMode;
    try {
        switch (c.action) {
        case Action::Open: {
            if (!player) {
                platform::MpvPlayerOptions options;
                options.headless = c.value == 0;
                options.openTimeout = options_.openTimeout;
                options.window = static_cast<platform::NativeWindow>(c.value);
                player = std::make_unique<platform::MpvMediaPlayer>(options);
                player->setVolume(volume_);
            }
            player->setDisplayWindow(static_cast<platform::NativeWindow>(c.value));
            const platform::MediaResult opened = player->open(c.link);
            if (!opened.success) {
                std::lock_guard lock(mutex_);
                state_ = "connectionError";
                lastError_ = opened.message;
                return;
            }
            player->play();
            std::lock_guard lock(mutex_);
            state_ = "playing";
            lastError_.clear();
            return;
        }
        case Action::Resume:
            if (player && player->mode() != MediaMode::NotOpen &&
                player->mode() != MediaMode::Playing) {
                player->play();
                setState("playing");
            }
            return;
        case Action::Stop:
            if (player && player->mode() != MediaMode::NotOpen) {
                player->stop();
                player->seekToStart();
            }
            setState("stopped");
            return;
        case Action::PauseToggle:
            if (player && player->mode() != MediaMode::NotOpen) {
                player->pauseToggle();
                setState(player->mode() == MediaMode::Paused ? "paused" : "playing");
            }
            return;
        case Action::Seek:
            if (player && player->mode() != MediaMode::NotOpen) {
                setState("seeking");
                player->setPosition(c.value);
                const MediaMode mode = player->mode();
                setState(mode == MediaMode::Playing  ? "playing"
                         : mode == MediaMode::Paused ? "paused"
                                                     : "stopped");
            }
            return;
        case Action::Volume:
            volume_ = static_cast<int>(c.value);
            if (player)
                player->setVolume(volume_);
            return;
        }
    } catch (const std::exception& e) {
        // No player (libmpv missing) or a player command that failed: the movie
        // reports it as a connection error, as it does a link it cannot open.
        std::lock_guard lock(mutex_);
        state_ = "connectionError";
        lastError_ = e.what();
    }
}

void PlayerMovie::refresh(platform::MediaPlayer* player) {
    if (!player)
        return;
    const platform::MediaMode mode = player->mode();
    const std::int64_t position = player->position();
    const std::int64_t length = player->length();
    std::lock_guard lock(mutex_);
    positionMs_ = position;
    lengthMs_ = length;
    if (state_ == "playing" && mode == platform::MediaMode::Stopped)
        state_ = "stopped"; // played to its end
    else if ((state_ == "playing" || state_ == "paused") && mode == platform::MediaMode::NotOpen)
        state_ = "disconnected";
}

} // namespace player
