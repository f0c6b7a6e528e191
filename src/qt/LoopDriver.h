#pragma once
// Runs the model's event loop inside Qt's, on the real clock: posted work runs as
// soon as it arrives, timers when they are due. After each round `afterRound` runs
// (the front end brings its widgets in step there).
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

    /// Runs posted work and due timers now, then `afterRound`, then waits for the next due timer.
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
