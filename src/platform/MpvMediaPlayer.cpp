#include "platform/MpvMediaPlayer.h"

#include "platform/MpvLibrary.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <vector>

namespace platform {

namespace {

// How long close() and a new open() wait for mpv to confirm that the previous
// media is gone. Unloading is quick; the bound only guards against a hung input.
constexpr double unloadWaitSeconds = 5.0;
// How long a seek waits to be carried out; streams may need to buffer first.
constexpr double seekWaitSeconds = 10.0;

std::string errorText(int code) {
    return mpvLibrary().errorString(code);
}

// Reads the playlist entry id from the reply of "loadfile"; -1 when absent.
std::int64_t entryIdOf(const mpv_node& reply) {
    if (reply.format != MPV_FORMAT_NODE_MAP || !reply.u.list)
        return -1;
    const mpv_node_list& map = *reply.u.list;
    for (int i = 0; i < map.num; ++i) {
        if (std::strcmp(map.keys[i], "playlist_entry_id") == 0 &&
            map.values[i].format == MPV_FORMAT_INT64)
            return map.values[i].u.int64;
    }
    return -1;
}

std::int64_t toMilliseconds(double seconds) {
    if (!std::isfinite(seconds) || seconds <= 0)
        return 0;
    return static_cast<std::int64_t>(std::llround(seconds * 1000.0));
}

} // namespace

void MpvMediaPlayer::HandleDeleter::operator()(mpv_handle* handle) const noexcept {
    mpvLibrary().terminateDestroy(handle);
}

MpvMediaPlayer::MpvMediaPlayer(MpvPlayerOptions options) : options_(options) {
    mpv_.reset(mpvLibrary().create());
    if (!mpv_)
        throw MediaError("Cannot create the media player (libmpv needs LC_NUMERIC set to \"C\").");
    mpv_handle* h = mpv_.get();

    auto require = [h](const char* name, const char* value) {
        if (const int rc = mpvLibrary().setOptionString(h, name, value); rc < 0)
            throw MediaError(std::string("Cannot set the media player option ") + name + ": " +
                             errorText(rc));
    };
    // Options of mpv builds that may lack them are set where they exist.
    auto prefer = [h](const char* name, const char* value) {
        mpvLibrary().setOptionString(h, name, value);
    };

    require("config", "no");
    require("terminal", "no");
    require("idle", "yes");
    // Stay open at the end like a stopped device, so play can start it again.
    require("keep-open", "yes");
    require("pause", "yes");
    require("hr-seek", "yes");
    prefer("input-default-bindings", "no");
    prefer("input-vo-keyboard", "no");
    prefer("input-cursor", "no");
    prefer("osc", "no");
    prefer("load-scripts", "no");
    prefer("ytdl", "no");
    prefer("audio-display", "no");
    prefer("force-window", "no");
    if (options_.headless) {
        require("vo", "null");
        require("ao", "null");
    } else {
        if (options_.window != 0) {
            window_ = options_.window;
            require("wid", std::to_string(options_.window).c_str());
        }
        // A machine without a sound device still shows the picture.
        prefer("audio-fallback-to-null", "yes");
        // Draw with OpenGL also where only a software renderer is available (a
        // virtual display, a machine without a graphics driver): otherwise mpv falls
        // through to outputs that open their own window instead of the one given.
        prefer("gpu-sw", "yes");
    }

    if (const int rc = mpvLibrary().initialize(h); rc < 0)
        throw MediaError("Cannot start the media player: " + errorText(rc));
    double full = 100.0;
    mpvLibrary().setProperty(h, "volume", MPV_FORMAT_DOUBLE, &full);
}

MpvMediaPlayer::~MpvMediaPlayer() = default;

void MpvMediaPlayer::pumpEvents(double timeoutSeconds) {
    const mpv_event* event = mpvLibrary().waitEvent(mpv_.get(), timeoutSeconds);
    while (event->event_id != MPV_EVENT_NONE) {
        handleEvent(*event);
        event = mpvLibrary().waitEvent(mpv_.get(), 0);
    }
}

void MpvMediaPlayer::handleEvent(const mpv_event& event) {
    switch (event.event_id) {
    case MPV_EVENT_START_FILE: {
        const auto* start = static_cast<const mpv_event_start_file*>(event.data);
        if (redirected_ && start) {
            entryId_ = start->playlist_entry_id;
            redirected_ = false;
            loaded_ = false;
            ended_ = false;
        }
        break;
    }
    case MPV_EVENT_SEEK:
        seekStarted_ = true;
        break;
    case MPV_EVENT_PLAYBACK_RESTART:
        if (seekStarted_)
            seekDone_ = true;
        break;
    case MPV_EVENT_FILE_LOADED:
        // Only the current entry can be loading: any earlier one was unloaded first.
        if (!redirected_ && entryId_ >= 0 && !ended_)
            loaded_ = true;
        break;
    case MPV_EVENT_END_FILE: {
        const auto* end = static_cast<const mpv_event_end_file*>(event.data);
        if (!end || end->playlist_entry_id != entryId_ || entryId_ < 0)
            break;
        if (end->reason == MPV_END_FILE_REASON_REDIRECT) {
            // A playlist: its first entry is the media; adopt the next start.
            redirected_ = true;
            break;
        }
        ended_ = true;
        endError_ = end->reason == MPV_END_FILE_REASON_ERROR ? end->error : 0;
        // Media can also vanish while open, e.g. when a stream breaks off.
        mode_ = MediaMode::NotOpen;
        break;
    }
    default:
        break;
    }
}

void MpvMediaPlayer::fail(std::string message) {
    last_ = MediaResult{false, message};
    throw MediaError(message);
}

void MpvMediaPlayer::requireOpen(std::string_view what) {
    pumpEvents();
    if (mode_ == MediaMode::NotOpen)
        fail("No media is open: cannot " + std::string(what) + ".");
}

void MpvMediaPlayer::syncMode() {
    pumpEvents();
    // Only reaching the end (keep-open) pauses mpv behind our back.
    if (mode_ == MediaMode::Playing && flagProperty("pause", false))
        mode_ = MediaMode::Stopped;
}

void MpvMediaPlayer::command(std::initializer_list<const char*> args, std::string_view what) {
    std::vector<const char*> argv(args);
    argv.push_back(nullptr);
    if (const int rc = mpvLibrary().command(mpv_.get(), argv.data()); rc < 0)
        fail("Cannot " + std::string(what) + ": " + errorText(rc) + ".");
}

void MpvMediaPlayer::setPause(bool paused, std::string_view what) {
    int flag = paused ? 1 : 0;
    if (const int rc = mpvLibrary().setProperty(mpv_.get(), "pause", MPV_FORMAT_FLAG, &flag);
        rc < 0)
        fail("Cannot " + std::string(what) + ": " + errorText(rc) + ".");
}

double MpvMediaPlayer::doubleProperty(const char* name, double fallback) {
    double value = 0;
    if (mpvLibrary().getProperty(mpv_.get(), name, MPV_FORMAT_DOUBLE, &value) < 0)
        return fallback;
    return value;
}

bool MpvMediaPlayer::flagProperty(const char* name, bool fallback) {
    int value = 0;
    if (mpvLibrary().getProperty(mpv_.get(), name, MPV_FORMAT_FLAG, &value) < 0)
        return fallback;
    return value != 0;
}

void MpvMediaPlayer::unload() {
    pumpEvents();
    const bool busy = redirected_ || (entryId_ >= 0 && !ended_);
    if (busy) {
        const char* stop[] = {"stop", nullptr};
        if (mpvLibrary().command(mpv_.get(), stop) >= 0) {
            const auto deadline =
                std::chrono::steady_clock::now() + std::chrono::duration<double>(unloadWaitSeconds);
            while (!ended_ && std::chrono::steady_clock::now() < deadline)
                pumpEvents(0.1);
        }
    }
    entryId_ = -1;
    loaded_ = false;
    ended_ = false;
    endError_ = 0;
    redirected_ = false;
    mode_ = MediaMode::NotOpen;
}

MediaResult MpvMediaPlayer::open(std::string_view address) {
    const std::string name(address);
    unload();

    // Media open still, as a freshly opened device is.
    int paused = 1;
    mpvLibrary().setProperty(mpv_.get(), "pause", MPV_FORMAT_FLAG, &paused);

    const char* load[] = {"loadfile", name.c_str(), "replace", nullptr};
    mpv_node reply{};
    if (const int rc = mpvLibrary().commandRet(mpv_.get(), load, &reply); rc < 0) {
        last_ = MediaResult{false, "Cannot open " + name + ": " + errorText(rc) + "."};
        return last_;
    }
    entryId_ = entryIdOf(reply);
    mpvLibrary().freeNodeContents(&reply);
    // Without an id in the reply, the next entry to start is ours.
    redirected_ = entryId_ < 0;

    const auto deadline = std::chrono::steady_clock::now() + options_.openTimeout;
    while (!loaded_ && !ended_) {
        const std::chrono::duration<double> left = deadline - std::chrono::steady_clock::now();
        if (left.count() <= 0)
            break;
        pumpEvents(std::min(left.count(), 0.25));
    }

    if (loaded_ && !ended_) {
        mode_ = MediaMode::Stopped;
        succeed();
        return last_;
    }
    std::string why;
    std::error_code missing;
    if (!ended_)
        why = "no answer within " + std::to_string(options_.openTimeout.count()) + " ms";
    else if (name.find("://") == std::string::npos &&
             std::filesystem::status(name, missing).type() == std::filesystem::file_type::not_found)
        why = "no such file"; // mpv only says "loading failed"
    else if (endError_ != 0)
        why = errorText(endError_);
    else
        why = "no playable media";
    unload();
    last_ = MediaResult{false, "Cannot open " + name + ": " + why + "."};
    return last_;
}

void MpvMediaPlayer::close() noexcept {
    unload();
    succeed();
}

void MpvMediaPlayer::play() {
    requireOpen("play");
    syncMode();
    if (flagProperty("eof-reached", false))
        seekTo("0", "play from the start");
    setPause(false, "play");
    mode_ = MediaMode::Playing;
    succeed();
}

void MpvMediaPlayer::stop() {
    requireOpen("stop");
    setPause(true, "stop");
    mode_ = MediaMode::Stopped;
    succeed();
}

void MpvMediaPlayer::pauseToggle() {
    requireOpen("pause");
    syncMode();
    if (mode_ == MediaMode::Paused) {
        setPause(false, "resume");
        mode_ = MediaMode::Playing;
    } else {
        setPause(true, "pause");
        mode_ = MediaMode::Paused;
    }
    succeed();
}

void MpvMediaPlayer::seekTo(const char* seconds, std::string_view what) {
    pumpEvents();
    seekStarted_ = false;
    seekDone_ = false;
    command({"seek", seconds, "absolute+exact"}, what);
    // mpv seeks in its own thread; waiting for it makes the new position visible
    // to the next query, as callers expect of a seek.
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::duration<double>(seekWaitSeconds);
    while (!seekDone_ && !ended_ && std::chrono::steady_clock::now() < deadline)
        pumpEvents(0.05);
}

void MpvMediaPlayer::seekToStart() {
    requireOpen("seek");
    seekTo("0", "seek to the start");
    succeed();
}

void MpvMediaPlayer::setPosition(std::int64_t milliseconds) {
    requireOpen("seek");
    std::int64_t target = std::max<std::int64_t>(0, milliseconds);
    if (const std::int64_t total = length(); total > 0)
        target = std::min(target, total);
    const std::string seconds =
        std::to_string(target / 1000) + "." + std::to_string(1000 + target % 1000).substr(1);
    seekTo(seconds.c_str(), "seek");
    succeed();
}

std::int64_t MpvMediaPlayer::position() {
    pumpEvents();
    if (mode_ == MediaMode::NotOpen)
        return 0;
    // Played to its end, a medium is at its length. mpv stays on the last frame,
    // whose time falls short of the length by up to a frame or the sound's tail, so
    // a clip would end at 97 % and whoever waits for 100 % would wait for ever.
    if (flagProperty("eof-reached", false)) {
        if (const std::int64_t total = toMilliseconds(doubleProperty("duration", 0)); total > 0)
            return total;
    }
    return toMilliseconds(doubleProperty("time-pos", 0));
}

std::int64_t MpvMediaPlayer::length() {
    pumpEvents();
    if (mode_ == MediaMode::NotOpen)
        return 0;
    return toMilliseconds(doubleProperty("duration", 0));
}

std::int64_t MpvMediaPlayer::frameCount() {
    pumpEvents();
    if (mode_ == MediaMode::NotOpen)
        return 0;
    std::int64_t frames = 0;
    if (mpvLibrary().getProperty(mpv_.get(), "estimated-frame-count", MPV_FORMAT_INT64, &frames) >=
            0 &&
        frames > 0)
        return frames;
    // Containers without a frame count (e.g. streamed formats): duration x rate.
    const double fps = doubleProperty("container-fps", 0);
    const double duration = doubleProperty("duration", 0);
    if (fps > 0 && duration > 0 && std::isfinite(fps * duration))
        return static_cast<std::int64_t>(std::llround(fps * duration));
    return 0;
}

MediaMode MpvMediaPlayer::mode() {
    syncMode();
    return mode_;
}

void MpvMediaPlayer::setDisplayWindow(NativeWindow window) {
    window_ = window;
    // The null output draws nowhere; a real one takes the window when it starts,
    // which happens for each opened medium with video.
    if (options_.headless)
        return;
    auto id = static_cast<std::int64_t>(window);
    if (window == 0)
        id = -1; // mpv's "no embedding"
    mpvLibrary().setProperty(mpv_.get(), "wid", MPV_FORMAT_INT64, &id);
}

void MpvMediaPlayer::setVolume(int volume) {
    volume_ = std::clamp(volume, 0, 1000);
    double percent = volume_ / 10.0;
    if (const int rc = mpvLibrary().setProperty(mpv_.get(), "volume", MPV_FORMAT_DOUBLE, &percent);
        rc < 0)
        fail("Cannot set the volume: " + errorText(rc) + ".");
    succeed();
}

} // namespace platform
