#pragma once
// MediaPlayer on libmpv: one private mpv instance per player.
//
// The instance reads no configuration files, writes nothing to the terminal,
// takes no keyboard or mouse input of its own, runs no scripts and no external
// URL helper. Media open paused and stay open at their end (so length and
// position can still be read and play starts them again). In headless mode the
// video and audio outputs are null: everything runs, nothing is shown or heard.
//
// Thread: as MediaPlayer — the owning thread only. libmpv's own threads deliver
// their news as events, which this class reads only inside its own calls, so no
// callback ever runs on another thread.
//
// libmpv refuses to start unless LC_NUMERIC is "C"; a GUI toolkit that sets the
// locale from the environment must set LC_NUMERIC back before players are made.

#include "platform/MediaPlayer.h"

#include <chrono>
#include <cstdint>
#include <memory>

struct mpv_handle;
struct mpv_event;

namespace platform {

struct MpvPlayerOptions {
    /// Null video and audio outputs (tests, headless runs).
    bool headless = true;
    /// How long open() waits for media to load before giving up.
    std::chrono::milliseconds openTimeout{30'000};
    /// The window to draw into from the start (mpv takes an embedding window most
    /// reliably before it starts); 0: none yet, setDisplayWindow gives one later.
    NativeWindow window = 0;
};

class MpvMediaPlayer final : public MediaPlayer {
  public:
    /// Makes and starts the mpv instance. Throws MediaError when libmpv cannot be
    /// created or started (for instance under a non-C numeric locale).
    explicit MpvMediaPlayer(MpvPlayerOptions options = {});
    /// Shuts the instance down and waits for libmpv's threads to end.
    ~MpvMediaPlayer() override;
    MpvMediaPlayer(const MpvMediaPlayer&) = delete;
    MpvMediaPlayer& operator=(const MpvMediaPlayer&) = delete;

    MediaResult open(std::string_view address) override;
    void close() noexcept override;
    void play() override;
    void stop() override;
    void pauseToggle() override;
    void seekToStart() override;
    void setPosition(std::int64_t milliseconds) override;
    std::int64_t position() override;
    std::int64_t length() override;
    std::int64_t frameCount() override;
    MediaMode mode() override;
    void setDisplayWindow(NativeWindow window) override;
    NativeWindow displayWindow() const override { return window_; }
    void setDisplayRect(const DisplayRect& rect) override { rect_ = rect; }
    DisplayRect displayRect() const override { return rect_; }
    void setVolume(int volume) override;
    int volume() const override { return volume_; }
    const MediaResult& lastResult() const override { return last_; }

  private:
    struct HandleDeleter {
        void operator()(mpv_handle* handle) const noexcept;
    };

    // Reads events until none is left (timeoutSeconds 0) or one arrives.
    void pumpEvents(double timeoutSeconds = 0);
    void handleEvent(const mpv_event& event);
    // Throws MediaError (and records it) unless media is open; `what` names the
    // command for the message.
    void requireOpen(std::string_view what);
    // Records and throws a failed command.
    [[noreturn]] void fail(std::string message);
    void succeed() { last_ = MediaResult{}; }
    // Keeps mode_ in step with playback that ended by itself.
    void syncMode();
    void command(std::initializer_list<const char*> args, std::string_view what);
    void setPause(bool paused, std::string_view what);
    // Seeks to `seconds` (decimal text) and waits, bounded, until mpv has done it.
    void seekTo(const char* seconds, std::string_view what);
    double doubleProperty(const char* name, double fallback);
    bool flagProperty(const char* name, bool fallback);
    // Unloads the current media and waits (bounded) for mpv to confirm.
    void unload();

    MpvPlayerOptions options_;
    std::unique_ptr<mpv_handle, HandleDeleter> mpv_;
    MediaResult last_;
    MediaMode mode_ = MediaMode::NotOpen;
    NativeWindow window_ = 0;
    DisplayRect rect_;
    int volume_ = 1000;

    // Progress of the media mpv is working on, updated from its events.
    std::int64_t entryId_ = -1; // mpv's playlist entry of the current media
    bool loaded_ = false;       // FILE_LOADED seen for it
    bool ended_ = false;        // END_FILE seen for it
    int endError_ = 0;          // mpv error code of that END_FILE (0 = none)
    bool redirected_ = false;   // it turned out to be a playlist; follow the next entry
    bool seekStarted_ = false;  // mpv began the seek asked for last
    bool seekDone_ = false;     // ... and has carried it out
};

} // namespace platform
