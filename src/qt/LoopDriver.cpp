#include "qt/LoopDriver.h"

#include <QApplication>
#include <QDialog>
#include <QMetaObject>

#include <algorithm>
#include <atomic>
#include <limits>
#include <mutex>
#include <optional>

#include "ui/Application.h"

namespace qtfront {

/// Shared with the wake handler, which other threads may still be running while the
/// driver goes away: the mutex keeps the target alive for the length of a wake-up.
struct LoopDriver::WakeState {
    std::mutex mutex;
    LoopDriver* target = nullptr;
    std::atomic<bool> pending{false};
};

LoopDriver::LoopDriver(ui::Application& app, std::function<void()> afterRound)
    : app_(app), afterRound_(std::move(afterRound)), wake_(std::make_shared<WakeState>()) {
    due_.setSingleShot(true);
    due_.setTimerType(Qt::PreciseTimer);
    connect(&due_, &QTimer::timeout, this, &LoopDriver::runRound);
    wake_->target = this;
    app_.loop().setWakeHandler([state = wake_] {
        if (state->pending.exchange(true))
            return;
        std::lock_guard lock(state->mutex);
        if (state->target)
            QMetaObject::invokeMethod(
                state->target,
                [state] {
                    state->pending = false;
                    if (state->target)
                        state->target->runRound();
                },
                Qt::QueuedConnection);
    });
    wake_->pending = true;
    QMetaObject::invokeMethod(
        this,
        [state = wake_] {
            state->pending = false;
            if (state->target)
                state->target->runRound();
        },
        Qt::QueuedConnection);
}

LoopDriver::~LoopDriver() {
    app_.loop().setWakeHandler({});
    std::lock_guard lock(wake_->mutex);
    wake_->target = nullptr;
}

void LoopDriver::runRound() {
    ui::EventLoop& loop = app_.loop();
    if (loop.inTurn()) {
        // Called from a modal dialog's loop inside a handler: the work waits until
        // that handler is done, so that no handler runs inside another.
        loop.wakeAfterTurn();
        // Unless it is the request that ends the program: the dialog goes as a cancel
        // would, so the handler returns and the request gets its turn.
        if (app_.quitRequested())
            for (QWidget* top : QApplication::topLevelWidgets())
                if (auto* dialog = qobject_cast<QDialog*>(top); dialog && dialog->isVisible())
                    dialog->close();
        return;
    }
    loop.runPosted();
    loop.runDue();
    loop.runWatches();
    if (afterRound_)
        afterRound_();
    schedule();
}

void LoopDriver::schedule() {
    ui::EventLoop& loop = app_.loop();
    std::optional<std::int64_t> wait;
    if (const auto next = loop.nextDue())
        wait = std::clamp<std::int64_t>(*next - loop.now(), 0, std::numeric_limits<int>::max());
    if (loop.watching())
        wait = std::min<std::int64_t>(wait.value_or(ui::EventLoop::kWatchInterval.count()),
                                      ui::EventLoop::kWatchInterval.count());
    if (!wait) {
        due_.stop();
        return;
    }
    due_.start(static_cast<int>(*wait));
}

} // namespace qtfront
