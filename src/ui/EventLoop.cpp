#include "ui/EventLoop.h"

#include <algorithm>
#include <exception>
#include <stdexcept>

#include "ui/Timer.h"

namespace ui {

/// Marks a turn as running for as long as it lives, so that nothing starts another
/// turn inside it, and puts the loop back at its top level however the turn ends.
class EventLoop::TurnScope {
  public:
    explicit TurnScope(EventLoop& loop) : loop_(loop) {
        {
            std::lock_guard lock(loop_.mutex_);
            loop_.turnThread_ = std::this_thread::get_id();
        }
        loop_.inTurn_ = true;
        loop_.afterTurn_.assign(1, {});
    }
    ~TurnScope() {
        loop_.inTurn_ = false;
        loop_.afterTurn_.clear();
        bool leftOver = false;
        {
            std::lock_guard lock(loop_.mutex_);
            loop_.turnThread_ = {};
            // Only an exception escaping the turn itself (out of memory) leaves work
            // behind; it is not lost but waits for the next turn.
            leftOver = !loop_.turnWork_.empty();
            loop_.queue_.insert(loop_.queue_.begin(),
                                std::make_move_iterator(loop_.turnWork_.begin()),
                                std::make_move_iterator(loop_.turnWork_.end()));
            loop_.turnWork_.clear();
        }
        if (leftOver || loop_.wakeAfterTurn_) {
            loop_.wakeAfterTurn_ = false;
            loop_.wake();
        }
    }
    TurnScope(const TurnScope&) = delete;
    TurnScope& operator=(const TurnScope&) = delete;

  private:
    EventLoop& loop_;
};

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
        if (std::this_thread::get_id() == turnThread_) {
            // Posted by the running turn: it runs before the turn ends, so no wake-up.
            turnWork_.push_back(std::move(fn));
            return;
        }
        queue_.push_back(std::move(fn));
    }
    posted_.notify_all();
    wake();
}

void EventLoop::refuseInsideTurn(const char* what) const {
    if (inTurn_)
        throw std::logic_error(std::string(what) +
                               " runs only from the top level of the event loop, never inside a "
                               "handler or posted work");
}

std::size_t EventLoop::runPosted() {
    refuseInsideTurn("posted work");
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
        runTurn(fn);
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

void EventLoop::runTurn(const std::function<void()>& fn) {
    refuseInsideTurn("a turn");
    TurnScope scope(*this);
    guard(fn);
    finishTurn();
}

std::optional<std::function<void()>> EventLoop::takeTurnWork() {
    std::lock_guard lock(mutex_);
    if (turnWork_.empty())
        return std::nullopt;
    auto fn = std::move(turnWork_.front());
    turnWork_.pop_front();
    return fn;
}

void EventLoop::finishTurn() {
    for (;;) {
        if (auto work = takeTurnWork()) {
            guard(*work);
            continue;
        }
        while (!afterTurn_.empty() && afterTurn_.back().empty())
            afterTurn_.pop_back();
        if (afterTurn_.empty())
            return;
        auto& group = afterTurn_.back();
        std::function<void()> fn = std::move(group.front());
        group.pop_front();
        if (group.empty())
            afterTurn_.pop_back();
        // What this callback gives to afterTurn, itself or through its posted work,
        // runs before the callbacks that were waiting.
        afterTurn_.emplace_back();
        guard(fn);
    }
}

void EventLoop::afterTurn(std::function<void()> fn) {
    if (!inTurn_)
        throw std::logic_error("afterTurn needs a running turn");
    afterTurn_.back().push_back(std::move(fn));
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
    refuseInsideTurn("a timer");
    const std::int64_t until = now();
    // A timer fires at most once per call, even when a handler takes longer than its
    // interval: a late timer does not catch up with the ticks it missed.
    std::vector<Timer*> fired;
    while (Timer* t = nextDueTimer(until)) {
        if (std::find(fired.begin(), fired.end(), t) != fired.end())
            break;
        fired.push_back(t);
        runTurn([t] { t->fire(); });
    }
}

void EventLoop::advance(std::int64_t ms) {
    if (clock_ != ClockKind::Virtual)
        throw std::logic_error("advance needs the virtual clock");
    if (ms < 0)
        throw std::invalid_argument("cannot move the clock backwards");
    if (!inTurn_) {
        // Work queued before the move runs first, at the time it was queued.
        runPosted();
        runTurn([this, ms] { advance(ms); });
        return;
    }
    // One tick per step, each step after the work of the one before: the ticks run
    // one after another in this turn, never inside each other.
    afterTurn([this, ms] { advanceStep(virtualNow_ + ms); });
}

void EventLoop::advanceStep(std::int64_t target) {
    Timer* t = nextDueTimer(target);
    if (!t) {
        virtualNow_ = std::max(virtualNow_, target);
        return;
    }
    virtualNow_ = std::max(virtualNow_, t->due());
    guard([t] { t->fire(); });
    afterTurn([this, target] { advanceStep(target); });
}

std::optional<std::int64_t> EventLoop::nextDue() const {
    std::optional<std::int64_t> best;
    for (Timer* t : timers_)
        if (t->due() >= 0 && (!best || t->due() < *best))
            best = t->due();
    return best;
}

void EventLoop::watch(std::function<bool()> check) {
    watches_.push_back(std::move(check));
    // The driver learns that it must come back regularly.
    if (inTurn_)
        wakeAfterTurn_ = true;
    else
        wake();
}

void EventLoop::runWatches() {
    refuseInsideTurn("a watch");
    std::vector<std::function<bool()>> current;
    current.swap(watches_);
    std::vector<std::function<bool()>> kept;
    for (auto& check : current) {
        bool done = false;
        runTurn([&] { done = check(); });
        if (!done)
            kept.push_back(std::move(check));
    }
    // Watches that started meanwhile come after the older ones.
    kept.insert(kept.end(), std::make_move_iterator(watches_.begin()),
                std::make_move_iterator(watches_.end()));
    watches_ = std::move(kept);
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

void EventLoop::addTimer(Timer* t) {
    timers_.push_back(t);
}

void EventLoop::removeTimer(Timer* t) {
    timers_.erase(std::remove(timers_.begin(), timers_.end(), t), timers_.end());
}

void EventLoop::timersChanged() {
    wake();
}

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
