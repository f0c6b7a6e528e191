#include "qt/BusyWait.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QThread>

#include "ui/Application.h"

namespace qtfront {

BusyWait::BusyWait(ui::Application& app, std::function<void()> sync,
                   std::function<QWidget*()> parent)
    : app_(app), sync_(std::move(sync)), parent_(std::move(parent)) {
    app_.waitHook = [this](const std::function<bool()>& finished) { return wait(finished); };
}

BusyWait::~BusyWait() {
    app_.waitHook = nullptr;
}

bool BusyWait::wait(const std::function<bool()>& finished) {
    QApplication::setOverrideCursor(Qt::BusyCursor);
    QProgressDialog dialog(QStringLiteral("Waiting for the catalogue server to answer..."),
                           QStringLiteral("Cancel"), 0, 0, parent_ ? parent_() : nullptr);
    dialog.setWindowTitle(QString::fromStdString(app_.title()));
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setMinimumDuration(0);
    dialog.setAutoReset(false);
    dialog.setAutoClose(false);
    dialog.reset(); // a progress dialog shows itself at construction otherwise
    dialog.hide();

    if (sync_)
        sync_();
    QElapsedTimer clock;
    clock.start();
    bool cancelled = false;
    while (!finished()) {
        if (!dialog.isVisible() && clock.elapsed() >= kDialogDelayMs)
            dialog.show();
        // Until the dialog shows, the user's input waits in the queue; once it
        // shows, only the dialog takes input.
        QCoreApplication::processEvents(
            dialog.isVisible() ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents, 20);
        if (dialog.wasCanceled()) {
            cancelled = true;
            break;
        }
        QThread::msleep(5);
    }
    dialog.hide();
    QApplication::restoreOverrideCursor();
    return !cancelled;
}

} // namespace qtfront
