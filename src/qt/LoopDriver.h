#pragma once
// Runs the model's event loop inside Qt's, on the real clock: posted work runs as
// soon as it arrives, timers when they are due, the loop's watches at least every
// EventLoop::kWatchInterval while there are any. After each round `afterRound` runs
// (the front end brings its widgets in step there). A round that Qt starts inside a
// handler (from a modal dialog's loop) waits until that handler is done; once the
// program is asked to end (Application::requestQuit) it closes the open dialogs
// instead, as a cancel would, so that the handler returns.
//
// The loop's wake-ups may come from any thread (the media worker, automation
// transports); they are queued to the user-interface thread. Several wake-ups before
// a round coalesce into one.
//
// Installs the loop's wake handler and removes it when destroyed; owns the timer
// that waits for the next due model timer. Thread: create, use and destroy on the
// user-interface thread.

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

namespace ui {
class Application;
}

namespace qtfront {

class LoopDriver : public QObject {
    Q_OBJECT
  public:
    /// `app` must outlive the driver. A first round is queued at once, for work posted
    /// before the driver existed.
    LoopDriver(ui::Application& app, std::function<void()> afterRound);
    ~LoopDriver() override;

    /// Runs posted work, due timers and watches now, then `afterRound`, then waits for
    /// the next due timer; inside a turn of the loop, asks to be woken after it instead.
    void runRound();

  private:
    struct WakeState;
    void schedule();

    ui::Application& app_;
    std::function<void()> afterRound_;
    QTimer due_;
    std::shared_ptr<WakeState> wake_;
};

} // namespace qtfront
