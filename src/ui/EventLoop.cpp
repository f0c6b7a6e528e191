#include "ui/EventLoop.h"

#include <algorithm>
#include <exception>
#include <stdexcept>

#include "ui/Timer.h"

namespace ui {

EventLoop::EventLoop(ClockKind clock) : clock_(clock), start_(std::chrono::steady_clock::now()) {}

std::int64_t EventLoop::now() const {
    if (clock_ == ClockKind::Virtual)
        return virtualNow_;
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start_)
        .count();
}

void EventLoop::post(std::function<void()> fn) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(fn));
    }
    posted_.notify_all();
    wake();
}

std::size_t EventLoop::runPosted() {
    std::size_t ran = 0;
    for (;;) {
        std::function<void()> fn;
        {
            std::lock_guard lock(mutex_);
            if (queue_.empty())
                break;
            fn = std::move(queue_.front());
            queue_.pop_front();
        }
        guard(fn);
        ++ran;
    }
    return ran;
}

bool EventLoop::waitForPosted(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return posted_.wait_for(lock, timeout, [this] { return !queue_.empty(); });
}

bool EventLoop::hasPosted() const {
    std::lock_guard lock(mutex_);
    return !queue_.empty();
}

Timer* EventLoop::nextDueTimer(std::int64_t until) const {
    Timer* best = nullptr;
    for (Timer* t : timers_) {
        if (t->due() < 0 || t->due() > until)
            continue;
        if (!best || t->due() < best->due() ||
            (t->due() == best->due() && t->sequence() < best->sequence()))
            best = t;
    }
    return best;
}

void EventLoop::runDue() {
    const std::int64_t until = now();
    // A timer fires at most once per call, even when a handler takes longer than its
    // interval: a late timer does not catch up with the ticks it missed.
    std::vector<Timer*> fired;
    while (Timer* t = nextDueTimer(until)) {
        if (std::find(fired.begin(), fired.end(), t) != fired.end())
            break;
        fired.push_back(t);
        guard([t] { t->fire(); });
        runPosted();
    }
}

void EventLoop::advance(std::int64_t ms) {
    if (clock_ != ClockKind::Virtual)
        throw std::logic_error("advance needs the virtual clock");
    if (ms < 0)
        throw std::invalid_argument("cannot move the clock backwards");
    const std::int64_t target = virtualNow_ + ms;
    runPosted();
    while (Timer* t = nextDueTimer(target)) {
        virtualNow_ = std::max(virtualNow_, t->due());
        guard([t] { t->fire(); });
        runPosted();
    }
    virtualNow_ = target;
    runPosted();
}

std::optional<std::int64_t> EventLoop::nextDue() const {
    std::optional<std::int64_t> best;
    for (Timer* t : timers_)
        if (t->due() >= 0 && (!best || t->due() < *best))
            best = t->due();
    return best;
}

void EventLoop::setWakeHandler(std::function<void()> fn) {
    std::lock_guard lock(mutex_);
    wakeHandler_ = std::move(fn);
}

void EventLoop::setErrorHandler(std::function<void(const std::string&)> fn) {
    errorHandler_ = std::move(fn);
}

void EventLoop::guard(const std::function<void()>& fn) {
    std::string error;
    try {
        fn();
        return;
    } catch (const std::exception& e) {
        error = e.what();
    } catch (...) {
        error = "Unknown error";
    }
    if (errorHandler_) {
        try {
            errorHandler_(error);
        } catch (...) {
            // Showing an error must never take the program down.
        }
    }
}

void EventLoop::addTimer(Timer* t) { timers_.push_back(t); }

void EventLoop::removeTimer(Timer* t) {
    timers_.erase(std::remove(timers_.begin(), timers_.end(), t), timers_.end());
}

void EventLoop::timersChanged() { wake(); }

void EventLoop::wake() {
    std::function<void()> handler;
    {
        std::lock_guard lock(mutex_);
        handler = wakeHandler_;
    }
    if (handler)
        handler();
}

} // namespace ui
