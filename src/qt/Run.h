#pragma once
// The windowed program's entry: the process set-up Qt and its web engine need, the
// QApplication, and the loop that runs the application's forms in windows.

#include <QApplication>

#include <functional>
#include <memory>
#include <string>

namespace ui {
class Application;
}

namespace qtfront {

struct RunOptions {
    /// When set: once start-up has settled, save the principal form (or else the first
    /// visible one) as PNG at this path and leave the loop.
    std::string screenshot;
    /// The form to save instead, by name.
    std::string screenshotForm;
    /// How long start-up is given to settle before the screenshot.
    int screenshotDelayMs = 1500;
    /// Where the two skin files are; empty: the executable's folder.
    std::string skinFolder;
};

/// Settings that must be made before the QApplication exists: the web engine's
/// sandbox (which cannot start as root), shared GL contexts, software rendering on
/// machines without a GPU. Leaves settings the user made in the environment alone.
/// Thread: the main thread, before any QApplication.
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
