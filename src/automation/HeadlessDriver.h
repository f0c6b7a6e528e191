#pragma once
// Runs the user-interface thread without a window system: it waits for posted work
// (automation requests, the media worker's updates) and runs it, until the
// application is terminated.
//
// On the virtual clock, time stands still between requests, so timers fire only
// when a client advances the clock. On the real clock (should a caller use one) due
// timers fire as they come. While the loop has watches (a `wait-idle` in progress)
// they run at least every EventLoop::kWatchInterval of real time.
//
// Owns nothing. Thread: the user-interface thread, which run() occupies.

#include <functional>

namespace ui {
class Application;
}

namespace automation {

class HeadlessDriver {
  public:
    /// `app` must outlive the driver.
    explicit HeadlessDriver(ui::Application& app) : app_(app) {}

    /// Returns once app.terminated() is true, after the work that ended it has run.
    /// Errors of the work it runs go to the application's error boundary; it throws
    /// nothing itself.
    void run();
    /// Like run(), but returns as soon as `done` is true too (checked after each
    /// round, and before the first wait). Call at the top level of the event loop.
    void runUntil(const std::function<bool()>& done);

  private:
    ui::Application& app_;
};

/// Runs a HeadlessDriver for `app` until the application is terminated.
void runHeadless(ui::Application& app);

} // namespace automation
