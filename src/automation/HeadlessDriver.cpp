#include "automation/HeadlessDriver.h"

#include <algorithm>
#include <chrono>

#include "ui/Application.h"

namespace automation {

void HeadlessDriver::run() {
    runUntil({});
}

void HeadlessDriver::runUntil(const std::function<bool()>& done) {
    using namespace std::chrono;
    ui::EventLoop& loop = app_.loop();
    const bool realClock = loop.clockKind() == ui::EventLoop::ClockKind::Real;
    // Work is posted from other threads and wakes the wait; terminate() is called
    // on this thread by that work, so the bound only matters to real-clock timers
    // and to watches.
    constexpr milliseconds kLongest{1000};
    loop.runPosted();
    loop.runWatches();
    while (!app_.terminated() && !(done && done())) {
        milliseconds wait = kLongest;
        if (realClock)
            if (auto due = loop.nextDue())
                wait = std::clamp(milliseconds(*due - loop.now()), milliseconds(0), kLongest);
        if (loop.watching())
            wait = std::min(wait, milliseconds(ui::EventLoop::kWatchInterval));
        if (loop.waitForPosted(wait))
            loop.runPosted();
        if (realClock && !app_.terminated())
            loop.runDue();
        if (!app_.terminated())
            loop.runWatches();
    }
}

} // namespace automation

namespace automation {

void runHeadless(ui::Application& app) {
    HeadlessDriver(app).run();
}

} // namespace automation
