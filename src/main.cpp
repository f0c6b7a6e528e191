// Entry: reads the command line and the configuration, starts the database library
// in the background, builds the windows and runs them in a window (Qt) or headless,
// driven through the automation channel.
//
// Two programs are built from this file. `zorvex` has no Qt in it, so the headless
// mode never loads the Qt libraries and their web engine; asked for a window, it
// replaces itself (exec, same process) with `zorvex-window` from its own folder,
// which is this entry with the Qt front end.

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>

#include "app/CommandLine.h"
#include "app/Config.h"
#include "app/CopyDataSender.h"
#include "app/Installation.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/SplashDialog.h"
#include "automation/Channel.h"
#include "automation/HeadlessDriver.h"
#include "automation/Transport.h"
#include "db/Library.h"
#include "ui/Application.h"
#include "ui/Timer.h"
#include "ui/Widgets.h"

#ifdef ZORVEX_HAVE_QT
#include "qt/Run.h"
#endif

namespace {

std::string executableDir() {
    std::error_code ec;
    auto exe = std::filesystem::canonical("/proc/self/exe", ec);
    return ec ? std::filesystem::current_path().string() : exe.parent_path().string();
}

#ifndef ZORVEX_HAVE_QT
// Window mode: the window program takes over this process with the same arguments.
// Returns only when it cannot be started.
int runWindowProgram(char** argv) {
    const std::string path = executableDir() + "/zorvex-window";
    ::execv(path.c_str(), argv);
    if (errno == ENOENT) {
        std::cerr << "zorvex: this build has no window; use --headless --automation=...\n";
        return 2;
    }
    std::cerr << "zorvex: cannot start the window program " << path << ": " << std::strerror(errno)
              << "\n";
    return 1;
}
#endif

#ifdef ZORVEX_HAVE_QT
// --screenshot PATH: the splash dialog once its checks and the online load are
// done (saved beside PATH with "-splash" in its name), then the main window after
// the user's continue.
std::vector<qtfront::Shot> screenshotScript(ui::Application& app, app::Program& program,
                                            const std::string& path) {
    std::string splash = path;
    const auto dot = splash.rfind(".png");
    splash.insert(dot == std::string::npos ? splash.size() : dot, "-splash");
    auto& about = program.mainform().splash();
    qtfront::Shot first;
    first.form = about.name();
    first.path = splash;
    first.delayMs = 300;
    first.ready = [&app, &about] {
        const bool checksDone = !about.get<ui::Timer>("Timer1").enabled();
        return checksDone &&
               (about.get<ui::Button>("suiImageButton1").enabled() || !app.dialogs().log().empty());
    };
    qtfront::Shot second;
    second.before = [&app, &about] {
        if (about.checksFailed())
            app.dialogs().queueAnswer("Work Online");
        ui::EventArgs enter;
        enter.key = "\r";
        app.deliver(about, ui::Event::KeyPress, enter);
    };
    second.form = program.mainform().name();
    second.path = path;
    second.delayMs = 3000;
    return {first, second};
}
#endif

int run(const app::CommandLine& cl) {
    const auto env = app::processEnvironment();
    const auto installation = app::Installation::find(executableDir());
    app::Config config;
    try {
        config = app::loadConfig(cl.config, installation, env);
    } catch (const app::ConfigError& e) {
        std::cerr << "zorvex: " << e.what() << "\n";
        return 2;
    }
    // Installed and not told where to work: the user's data directory, prepared by
    // the install step at the first start.
    std::optional<std::string> workdir = cl.workdir;
    if (!workdir && installation.installed) {
        try {
            workdir = app::userDataDir(env);
            app::prepareDataDir(*workdir, installation);
        } catch (const app::InstallError& e) {
            std::cerr << "zorvex: " << e.what() << "\n";
            return 1;
        }
    }
    if (workdir && ::chdir(workdir->c_str()) != 0) {
        std::cerr << "zorvex: cannot use working directory '" << *workdir
                  << "': " << std::strerror(errno) << "\n";
        return 1;
    }

    // Starting the embedded server takes a moment; it runs while the windows are built.
    db::startLibrary(db::bookmarkStoreOptions());
    int status = 0;
    {
        ui::Application app(cl.headless ? ui::EventLoop::ClockKind::Virtual
                                        : ui::EventLoop::ClockKind::Real);
        app::Program program(app, config, installation.dataDir, app::Services::real());
        automation::Channel channel(app);
        std::unique_ptr<automation::Transport> transport;
        try {
            transport = automation::makeTransport(cl.automation, app, channel);
        } catch (const std::exception& e) {
            std::cerr << "zorvex: " << e.what() << "\n";
            db::endLibrary();
            return 1;
        }
        if (cl.headless) {
            automation::runHeadless(app);
        } else {
#ifdef ZORVEX_HAVE_QT
            qtfront::RunOptions options;
            options.skinFolder = installation.dataDir;
            if (cl.screenshot)
                options.shots = screenshotScript(app, program, *cl.screenshot);
            status = qtfront::run(app, options);
#else
            status = 2; // main hands window mode to the window program
#endif
        }
        transport.reset();
    }
    db::endLibrary();
    return status;
}

} // namespace

int main(int argc, char** argv) {
    app::CommandLine cl;
    try {
        cl = app::CommandLine::parse(std::vector<std::string>(argv + 1, argv + argc));
        if (cl.headless && cl.automation.empty())
            throw app::UsageError("--headless needs --automation=stdio or --automation=unix:PATH");
    } catch (const app::UsageError& e) {
        std::cerr << "zorvex: " << e.what() << "\n\n" << app::CommandLine::usage();
        return 2;
    }
    if (cl.help) {
        std::cout << app::CommandLine::usage();
        return 0;
    }
    if (cl.version) {
        std::cout << "zorvex " << ZORVEX_VERSION << "\n";
        return 0;
    }
    if (cl.send)
        return app::sendToRunningProgram(*cl.send, std::cerr);
#ifndef ZORVEX_HAVE_QT
    if (!cl.headless)
        return runWindowProgram(argv);
#endif
    try {
        return run(cl);
    } catch (const std::exception& e) {
        std::cerr << "zorvex: " << e.what() << "\n";
        return 1;
    }
}
