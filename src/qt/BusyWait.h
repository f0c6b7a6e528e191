#pragma once
// How the window waits for an outside server that is slow to answer (the
// catalogue): the call runs on a thread of its own while this keeps the windows
// painting with the busy pointer, holds the user's input back, and after a moment
// offers a small dialog whose Cancel stops waiting.
//
// Thread: user-interface thread only.

#include <functional>

class QWidget;

namespace ui {
class Application;
}

namespace qtfront {

class BusyWait {
  public:
    /// Installs itself as the application's wait hook until destroyed. `sync`
    /// brings the widgets in step with the model before they paint; `parent` gives
    /// the window the dialog centres on.
    BusyWait(ui::Application& app, std::function<void()> sync, std::function<QWidget*()> parent);
    ~BusyWait();
    BusyWait(const BusyWait&) = delete;
    BusyWait& operator=(const BusyWait&) = delete;

    /// Milliseconds before the dialog shows: a call that ends sooner shows only
    /// the busy pointer.
    static constexpr int kDialogDelayMs = 400;

  private:
    bool wait(const std::function<bool()>& finished);

    ui::Application& app_;
    std::function<void()> sync_;
    std::function<QWidget*()> parent_;
};

} // namespace qtfront
