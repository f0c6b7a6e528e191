#include "qt/Run.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QStyleFactory>
#include <QTimer>

#include <iostream>

#include "qt/Conversions.h"
#include "qt/DialogPresenter.h"
#include "qt/FrontEnd.h"
#include "qt/LoopDriver.h"
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
QWidget* screenshotWindow(ui::Application& app, const FrontEnd& front, const std::string& formName) {
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
    setDefault("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    setDefault("QT_QUICK_BACKEND", "software");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

std::unique_ptr<QApplication> makeApplication(int& argc, char** argv) {
    prepareProcess();
    auto application = std::make_unique<QApplication>(argc, argv);
    // One base style everywhere, so the skins look the same on every desktop.
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(fusion);
    QApplication::setQuitOnLastWindowClosed(false);
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

    const std::string skinFolder =
        options.skinFolder.empty() ? toStdString(QCoreApplication::applicationDirPath()) : options.skinFolder;
    FrontEnd front(app, Skins::load(skinFolder));
    DialogPresenter presenter(app, [&app, &front]() -> QWidget* {
        if (QWidget* active = QApplication::activeWindow())
            return active;
        ui::Form* principal = app.principal();
        return principal && principal->visible() ? front.windowOf(*principal) : nullptr;
    });
    LoopDriver driver(app, [&front] { front.sync(); });

    QEventLoop loop;
    QObject::connect(&front, &FrontEnd::terminated, &loop, &QEventLoop::quit);
    if (start)
        app.dispatch(start);
    front.sync();
    if (app.terminated())
        return 0;

    int status = 0;
    if (!options.screenshot.empty()) {
        QTimer::singleShot(std::max(0, options.screenshotDelayMs), &loop, [&] {
            front.sync();
            QWidget* window = screenshotWindow(app, front, options.screenshotForm);
            if (!window) {
                std::cerr << "zorvex: no visible window to save as " << options.screenshot << "\n";
                status = 1;
            } else if (!saveScreenshot(*window, options.screenshot)) {
                std::cerr << "zorvex: cannot write the screenshot " << options.screenshot << "\n";
                status = 1;
            }
            // A message box may be waiting for an answer: from here on the dialogs
            // take their first button, and the open ones close, so the loop can end.
            app.dialogs().setPresenter({});
            for (QWidget* top : QApplication::topLevelWidgets())
                if (top->isVisible() && top->isModal())
                    top->close();
            loop.quit();
        });
    }
    loop.exec();
    return status;
}

} // namespace qtfront
