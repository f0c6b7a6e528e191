#pragma once
// The windowed program's entry: the process set-up Qt and its web engine need, the
// QApplication, and the loop that runs the application's forms in windows.

#include <QApplication>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ui {
class Application;
}

namespace qtfront {

/// One window saved as PNG during a scripted run.
struct Shot {
    /// Runs first, inside the error boundary (for example, the user's click that
    /// brings the window up).
    std::function<void()> before;
    /// The form to save, by name; empty: the principal form when visible, else the
    /// first visible form.
    std::string form;
    std::string path;
    /// Time given to settle after `before`.
    int delayMs = 1500;
    /// Polled every 100 ms after the delay; the window is saved once it returns
    /// true, or after 30 seconds.
    std::function<bool()> ready;
};

struct RunOptions {
    /// When set: once start-up has settled, save the principal form (or else the first
    /// visible one) as PNG at this path and leave the loop.
    std::string screenshot;
    /// The form to save instead, by name.
    std::string screenshotForm;
    /// How long start-up is given to settle before the screenshot.
    int screenshotDelayMs = 1500;
    /// More windows to save, in order, after the one above; the loop ends after the last.
    std::vector<Shot> shots;
    /// Where the two skin files are; empty: the executable's folder.
    std::string skinFolder;
};

void prepareProcess();

/// prepareProcess(), then the QApplication with the front end's base style. `argc`
/// and `argv` must outlive the application, as QApplication requires.
std::unique_ptr<QApplication> makeApplication(int& argc, char** argv);

/// Runs `app` in windows: makes the QApplication unless one exists, binds the forms,
/// runs `start` inside the application's error boundary, shows the visible forms and
/// drives the event loop until app.terminated() (or the screenshot is saved).
/// Returns the process status: 0, or 1 when the screenshot could not be saved.
/// Thread: the process's main thread, which it occupies until it returns.
int run(ui::Application& app, const RunOptions& options, const std::function<void()>& start = {});

} // namespace qtfront
