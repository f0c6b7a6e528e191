#pragma once
// The media worker: one thread that owns a media player and carries out the
// one-byte commands the window posts into its command slot (stop, play, fit,
// pause toggle, attach, poll, close and release, seek, volume). It never touches
// a control: what it has to show goes out as WorkerUpdate values through the
// sink it was given, which posts them to the user-interface thread. What it
// needs to know about the window (the volume slider, the progress bar, the video
// panel) comes with each command, as a copy taken by the thread that posts it.
//
// The worker blocks on a condition variable while its slot is empty, so an idle
// worker uses no CPU. A suspended worker blocks the same way with a command in its
// slot: it takes the command only once it is resumed (it never stops in the
// middle of one; a command it is carrying out when suspended runs to its end).
//
// Thread: construct, post and end from one thread (the user-interface thread);
// the sink is called on the worker thread. The player is made, used and released
// on the worker thread, and released on the ending thread after the worker has
// left its loop if it still exists.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "platform/MediaPlayer.h"

namespace player {

enum class WorkerCommand : std::uint8_t {
    None = 0,
    Stop = 1,
    Play = 2,
    Fit = 3,
    PauseToggle = 4,
    Attach = 6,
    Poll = 9,
    CloseRelease = 14,
    Seek = 15,
    Volume = 17,
};

/// The window's values a command works with, copied when it is posted.
struct WorkerInputs {
    /// `previewvolume`, 0 to 1000.
    int volume = 0;
    /// `mpposibar`'s position, 0 to 100.
    int barPosition = 0;
    /// `Panel4`: its size and the native window the picture goes into (0: none).
    int panelWidth = 0;
    int panelHeight = 0;
    platform::NativeWindow panelWindow = 0;
    /// The route of the playback: 1 worker, 2 movie, 0 none.
    int playMode = 0;
};

/// What the worker changes in the window; every field that is set is applied, in
/// the order listed, on the user-interface thread.
struct WorkerUpdate {
    /// `workerStatus`; written to `Label19` and `titlestatus` when `showStatus`.
    std::optional<std::string> status;
    bool showStatus = false;
    /// The worker has taken the new link: `newLinkPending` is cleared.
    bool linkTaken = false;
    std::optional<bool> openFailed;
    std::optional<bool> mediaReady;
    std::optional<std::string> lastMessage;
    std::optional<bool> localItem;
    /// The first item of `videopopup`.
    std::optional<std::string> menuCaption;
    std::optional<bool> menuEnabled;
    std::optional<bool> volumeEnabled;
    /// `Animate1` runs or stops.
    std::optional<bool> busy;
    /// `threadtimer` on or off.
    std::optional<bool> pollTimer;
    /// `Panel2` (the idle screen) to the front, shown, and `floatvideobutton` off.
    bool idleScreen = false;
    bool hideMainWindow = false;
    std::optional<int> barMax;
    std::optional<int> barPosition;
    std::optional<std::string> secLeft;
    std::optional<std::string> minLeft;
    /// The command is done: `workerCommandPending` is cleared.
    bool commandDone = false;
};

/// The poll's progress text: position / length × 100 in single precision (0 when
/// the length is 0), rounded to a whole number, right-aligned in 3 characters.
std::string progressText(std::int64_t position, std::int64_t length);
/// "M : SS" of a position in milliseconds, as the elapsed-time label shows it.
std::string elapsedText(std::int64_t position);

class MediaWorker {
  public:
    using PlayerFactory = std::function<std::unique_ptr<platform::MediaPlayer>()>;
    using Sink = std::function<void(WorkerUpdate)>;

    /// Starts the thread, which makes its player with `makePlayer` (a player that
    /// cannot be made leaves the worker without one: every open then fails).
    MediaWorker(PlayerFactory makePlayer, Sink sink);
    /// Ends the worker as end() does.
    ~MediaWorker();
    MediaWorker(const MediaWorker&) = delete;
    MediaWorker& operator=(const MediaWorker&) = delete;

    /// Stores `address` as the link to open and marks it new when it differs.
    void setLink(std::string_view address);
    /// Marks the link new even when it did not change: every play request reopens.
    void markLinkNew();
    /// Stores `command` in the slot (a command still waiting is replaced) with the
    /// window's values, and wakes the worker.
    void post(WorkerCommand command, const WorkerInputs& inputs);
    /// The command waiting in the slot or being carried out; None when idle.
    WorkerCommand pending() const { return static_cast<WorkerCommand>(slot_.load()); }
    /// Whether the worker has no command (the slot is empty).
    bool idle() const { return pending() == WorkerCommand::None; }
    /// Suspends the worker: from its next turn on it takes no command from the
    /// slot until resume(). A command being carried out finishes first.
    void suspend();
    /// Resumes a suspended worker; it takes the command waiting in its slot, if any.
    void resume();
    /// Whether the worker is suspended.
    bool suspended() const;
    /// Whether the worker does nothing: its slot is empty, or it is suspended and
    /// has not taken the command waiting there.
    bool resting() const;
    /// Tells the worker to leave its loop, waits for it, then stops, closes and
    /// releases the player if it still exists. Never throws.
    void end() noexcept;

  private:
    void run();
    void carryOut(WorkerCommand command, const WorkerInputs& in);
    void openLink(const WorkerInputs& in);
    void play(const WorkerInputs& in, bool& keepCommand);
    void stop(const WorkerInputs& in);
    void fit(const WorkerInputs& in);
    void pauseToggle();
    void poll(const WorkerInputs& in);
    void seek(const WorkerInputs& in);
    void setStatus(std::string status, bool show);
    void send(WorkerUpdate update);

    PlayerFactory makePlayer_;
    Sink sink_;

    std::atomic<std::uint8_t> slot_{0};
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    WorkerInputs inputs_;    // guarded by mutex_
    std::string link_;       // guarded by mutex_
    bool newLink_ = false;   // guarded by mutex_
    bool quit_ = false;      // guarded by mutex_
    bool suspended_ = false; // guarded by mutex_
    bool working_ = false;   // guarded by mutex_: a command has been taken

    // Worker thread only (and the ending thread after the join).
    std::unique_ptr<platform::MediaPlayer> player_;
    std::string status_;
    std::string openedLink_;
    bool openFailed_ = false;
    bool stalled_ = false;
    std::int64_t frameCount_ = 0;
    std::string frameText_;

    std::thread thread_;
};

} // namespace player
