#include "qt/Run.h"

#include "qt/BusyWait.h"

#include <clocale>

#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QIcon>
#include <QStyleFactory>
#include <QTimer>

#include <iostream>

#include "qt/Conversions.h"
#include "qt/DialogPresenter.h"
#include "qt/FormWindow.h"
#include "qt/FrontEnd.h"
#include "qt/LoopDriver.h"
#include "qt/Mpris.h"
#include "qt/Screenshot.h"
#include "ui/Application.h"
#include "ui/Form.h"

namespace qtfront {

namespace {

void setDefault(const char* name, const char* value) {
    if (!qEnvironmentVariableIsSet(name))
        qputenv(name, value);
}

/// The window a screenshot shows: the named form, else the principal form when it
/// is visible, else the first visible form.
QWidget* screenshotWindow(ui::Application& app, const FrontEnd& front,
                          const std::string& formName) {
    if (!formName.empty()) {
        ui::Form* form = app.findForm(formName);
        return form ? front.windowOf(*form) : nullptr;
    }
    if (ui::Form* principal = app.principal(); principal && principal->visible())
        return front.windowOf(*principal);
    for (ui::Form* form : app.forms())
        if (form->visible())
            return front.windowOf(*form);
    return nullptr;
}

} // namespace

void prepareProcess() {
    // The web engine's sandbox refuses to start as root; as anyone else it stays on.
    if (::geteuid() == 0)
        setDefault("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // These machines have no GPU: the web views and their compositor draw in software.
    // The pages of one site share one renderer process: the start page and the web
    // tabs all show the product site, and each renderer costs tens of megabytes.
    // Pages of other sites still get processes of their own.
    setDefault("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --process-per-site");
    setDefault("QT_QUICK_BACKEND", "software");
    // With everything drawn in software, OpenGL would only be loaded for a context
    // nobody draws with, and the software GL driver maps its compiler (some 35 MB).
    // The media player opens its own video output and needs none of Qt's.
    setDefault("QT_XCB_GL_INTEGRATION", "none");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

std::unique_ptr<QApplication> makeApplication(int& argc, char** argv) {
    prepareProcess();
    auto application = std::make_unique<QApplication>(argc, argv);
    // QApplication takes the locale from the environment; libmpv parses numbers
    // and refuses to start unless they read the C way.
    std::setlocale(LC_NUMERIC, "C");
    // One base style everywhere, so the skins look the same on every desktop.
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(fusion);
    QApplication::setQuitOnLastWindowClosed(false);
    // The menu entry's name and icon, so the desktop groups the windows under it.
    QGuiApplication::setDesktopFileName(QStringLiteral("zorvex"));
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/zorvex/icons/zorvex-%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);
    return application;
}

int run(ui::Application& app, const RunOptions& options, const std::function<void()>& start) {
    int argc = 1;
    char name[] = "zorvex";
    char* argv[] = {name, nullptr};
    std::unique_ptr<QApplication> owned;
    if (!QApplication::instance())
        owned = makeApplication(argc, argv);
    // The model decides when the program ends, not the last window closing.
    QApplication::setQuitOnLastWindowClosed(false);

    const std::string skinFolder = options.skinFolder.empty()
                                       ? toStdString(QCoreApplication::applicationDirPath())
                                       : options.skinFolder;
    FrontEnd front(app, Skins::load(skinFolder));
    DialogPresenter presenter(app, [&app, &front]() -> QWidget* {
        if (QWidget* active = QApplication::activeWindow())
            return active;
        ui::Form* principal = app.principal();
        return principal && principal->visible() ? front.windowOf(*principal) : nullptr;
    });
    // The desktop's media controls, when there is a session bus.
    Mpris mpris(app, front);
    LoopDriver driver(app, [&front, &mpris] {
        front.sync();
        mpris.update();
    });
    BusyWait busyWait(
        app, [&front] { front.sync(); },
        [&app, &front]() -> QWidget* {
            ui::Form* principal = app.principal();
            return principal && principal->visible() ? front.windowOf(*principal)
                                                     : QApplication::activeWindow();
        });

    QEventLoop loop;
    QObject::connect(&front, &FrontEnd::terminated, &loop, &QEventLoop::quit);
    int status = 0;
    bool done = false;
    // The shots run one after another; the single screenshot option is the first.
    std::vector<Shot> shots;
    if (!options.screenshot.empty())
        shots.push_back(
            {{}, options.screenshotForm, options.screenshot, options.screenshotDelayMs, {}});
    shots.insert(shots.end(), options.shots.begin(), options.shots.end());
    std::size_t next = 0;
    int waited = 0;
    std::function<void()> arm;
    auto finish = [&] {
        // A message box may be waiting for an answer: from here on the dialogs
        // take their first button, and the open ones close, so the loop can end.
        app.dialogs().setPresenter({});
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->isVisible() && top->isModal())
                top->close();
        done = true;
        loop.quit();
    };
    std::function<void()> capture = [&] {
        const Shot& shot = shots[next];
        if (shot.ready && !shot.ready() && waited < 30000) {
            waited += 100;
            QTimer::singleShot(100, &loop, capture);
            return;
        }
        front.sync();
        QWidget* window = screenshotWindow(app, front, shot.form);
        if (!window) {
            std::cerr << "zorvex: no visible window to save as " << shot.path << "\n";
            status = 1;
        } else if (!saveScreenshot(*window, shot.path)) {
            std::cerr << "zorvex: cannot write the screenshot " << shot.path << "\n";
            status = 1;
        }
        ++next;
        if (next == shots.size() || status != 0 || app.terminated())
            finish();
        else
            arm();
    };
    arm = [&] {
        waited = 0;
        const Shot& shot = shots[next];
        if (shot.before)
            front.dispatch(shot.before);
        QTimer::singleShot(std::max(0, shot.delayMs), &loop, capture);
    };
    // Armed before start-up runs: a dialog opened during start-up must not keep the
    // first screenshot from being taken.
    if (!shots.empty())
        QTimer::singleShot(0, &loop, arm);
    front.sync();
    if (start)
        front.dispatch(start);
    // Start-up may already have ended the program, or outlasted the screenshot.
    if (done || app.terminated())
        return status;
    loop.exec();
    return status;
}

} // namespace qtfront
