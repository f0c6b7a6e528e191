#pragma once
// The user-interface thread's queue of posted work and its timers.
//
// Two drivers run it. The Qt driver uses the real clock and asks for a wake-up
// through the wake handler. The headless driver uses a virtual clock that moves
// only through advance(), so timer-driven behaviour runs exactly and fast.
//
// Thread: post() and wake-up requests may come from any thread; everything else
// runs on the user-interface thread.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace ui {

class Timer;

class EventLoop {
public:
    enum class ClockKind { Real, Virtual };
    explicit EventLoop(ClockKind clock);

    ClockKind clockKind() const { return clock_; }
    /// Milliseconds on the loop's clock (virtual: since start, moved by advance).
    std::int64_t now() const;

    /// Queues work for the user-interface thread. Any thread.
    void post(std::function<void()> fn);
    /// Runs all queued work, each item inside the error boundary. Returns how many ran.
    std::size_t runPosted();
    /// Waits up to `timeout` for posted work (headless driver). Returns true when
    /// some is queued.
    bool waitForPosted(std::chrono::milliseconds timeout);
    bool hasPosted() const;

    /// Fires every timer due at now(), earliest first (ties in enabling order),
    /// running posted work after each.
    void runDue();
    /// Virtual clock only: moves time forward by `ms`, firing due timers in order.
    void advance(std::int64_t ms);
    /// Clock time of the next due timer, if any.
    std::optional<std::int64_t> nextDue() const;

    /// Called (from any thread) when posted work arrives or the timers change, so
    /// a real-time driver can wake up.
    void setWakeHandler(std::function<void()> fn);
    /// Where errors escaping handlers, timers and posted work go: the application's
    /// standard error message.
    void setErrorHandler(std::function<void(const std::string&)> fn);
    /// The one error boundary: runs `fn`, sending any exception to the error handler.
    void guard(const std::function<void()>& fn);

    // Used by Timer.
    void addTimer(Timer* t);
    void removeTimer(Timer* t);
    void timersChanged();
    std::uint64_t nextSequence() { return ++sequence_; }

private:
    Timer* nextDueTimer(std::int64_t until) const;
    void wake();

    ClockKind clock_;
    std::chrono::steady_clock::time_point start_;
    std::int64_t virtualNow_ = 0;
    std::vector<Timer*> timers_;
    std::uint64_t sequence_ = 0;

    mutable std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> queue_;
    std::function<void()> wakeHandler_;
    std::function<void(const std::string&)> errorHandler_;
};

} // namespace ui
