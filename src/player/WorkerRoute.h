#pragma once
// The window's side of the media worker: the "Create Thread" step behind the
// hidden button `playmediathread`, the posting of commands with the window's
// values, the 100 ms wake and sleep timer `Timer4`, "Close Video" through the
// hidden button `killmp`, the attach button `button5`, and applying what the
// worker reports to the controls. It owns the worker while one exists and ends
// it when it is destroyed (with the main window).
//
// Thread: user-interface thread only. The worker's reports arrive as posted work.

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "player/MediaWorker.h"

namespace ui {
class Form;
class MediaSurface;
} // namespace ui

namespace player {

struct PlaybackState;

class WorkerRoute {
  public:
    /// `makePlayer` makes the worker's media player, on the worker thread.
    /// `aolMarker` is the text that marks an AOL link.
    WorkerRoute(ui::Form& form, PlaybackState& state, MediaWorker::PlayerFactory makePlayer,
                std::string aolMarker);
    /// Ends a worker that still exists, ignoring errors.
    ~WorkerRoute();
    WorkerRoute(const WorkerRoute&) = delete;
    WorkerRoute& operator=(const WorkerRoute&) = delete;

    /// The "Create Thread" step: hands `workerLink` to the worker (made on first
    /// use) and posts play.
    void createThread();
    /// Posts `command` with the window's current values; unless `pending` is
    /// false, sets `workerCommandPending` and resumes a suspended worker. Does
    /// nothing without a worker.
    void post(WorkerCommand command, bool pending = true);
    /// Resumes a suspended worker at once (the pause and stop buttons do);
    /// `workerRunState` stays as it is, so Timer4 suspends it again when idle.
    void wake();
    /// "Close Video": closes and releases the player and ends the worker.
    void closeVideo();
    /// Attach: hides the main window and draws into `Panel4` again.
    void attach();
    /// `Timer4`: resumes the worker while a command is pending, suspends it when
    /// none is, and suspends again a worker the buttons woke.
    void wakeOrSleep();

    bool hasWorker() const { return worker_ != nullptr; }
    /// No worker, or one whose reports have all been applied and that has an empty
    /// command slot or is suspended (a command posted without
    /// `workerCommandPending` then waits for the next wake, doing nothing).
    bool idle() const { return !worker_ || (worker_->resting() && *inFlight_ == 0); }

    const std::string& workerStatus() const { return workerStatus_; }
    bool workerCommandPending() const { return commandPending_; }
    /// Set by the first "Create Thread" step, never cleared.
    bool mediaWorkerStarted() const { return started_; }

    /// Fit: called after a change of the window mode (the window modes post it).
    void fit();
    /// Shows the worker's video surface (`workerVideo`, in front inside `Panel4`
    /// and as large) or hides it; nothing when the window has none.
    void showVideo(bool on);

    /// Called with the main window to hide for an attach; set by the composition.
    std::function<void()> hideMainWindow;

  private:
    void apply(const WorkerUpdate& update);
    WorkerInputs inputs() const;
    ui::MediaSurface* videoSurface() const;
    void endWorker() noexcept;

    ui::Form& form_;
    PlaybackState& state_;
    MediaWorker::PlayerFactory makePlayer_;
    std::string aolMarker_;
    std::unique_ptr<MediaWorker> worker_;
    // Reports posted by a worker find this gone once the route is destroyed.
    std::shared_ptr<WorkerRoute*> self_;
    // Reports posted by the worker and not applied yet.
    std::shared_ptr<std::atomic<int>> inFlight_ = std::make_shared<std::atomic<int>>(0);

    std::string workerStatus_;
    std::string workerRunState_;
    std::string lastMciMessage_;
    bool commandPending_ = false;
    bool openFailed_ = false;
    bool mediaReady_ = false;
    bool started_ = false;
};

} // namespace player
