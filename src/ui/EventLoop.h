#pragma once
// The user-interface thread's queue of posted work and its timers.
//
// Everything the loop runs, it runs in turns, and only from its top level: a turn
// is one piece of work from outside (a user event, a timer tick, work posted from
// another thread, an automation request) together with all the work it posts on
// the user-interface thread, which runs after it in the order posted, before the
// next turn starts. A turn never starts inside another, so no handler runs inside
// another: work posted inside a handler waits until that handler has returned, and
// a modal dialog's loop inside a handler does not run the loop's work.
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
#include <thread>
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

    /// Queues work for the user-interface thread. Any thread. Work posted on the
    /// user-interface thread while a turn runs belongs to that turn and runs before
    /// it ends; anything else becomes a turn of its own, after those already queued.
    void post(std::function<void()> fn);
    /// Top level only: runs every queued piece of work, each as a turn of its own,
    /// until none is queued. Returns how many turns ran. Throws std::logic_error
    /// inside a turn.
    std::size_t runPosted();
    /// Waits up to `timeout` for work to be queued (headless driver). Returns true
    /// when some is.
    bool waitForPosted(std::chrono::milliseconds timeout);
    /// Whether work waits for a turn of its own.
    bool hasPosted() const;

    /// Top level only: runs `fn` inside the error boundary as one turn, then the work
    /// it posts and the work that posts in turn, in the order posted, then the
    /// callbacks given to afterTurn. Throws std::logic_error inside a turn.
    void runTurn(const std::function<void()>& fn);
    /// True while a turn runs (on the user-interface thread).
    bool inTurn() const { return inTurn_; }
    /// Inside a turn: runs `fn` once the turn's work is done, that is the work posted
    /// so far and the work that posts. Callbacks run in the order given, except that
    /// those given while a callback (or the work it posted) runs come before the
    /// ones still waiting, so a callback can continue itself step by step. The
    /// automation channel writes its replies from here. Throws std::logic_error
    /// outside a turn.
    void afterTurn(std::function<void()> fn);

    /// Top level only: fires every timer due at now(), earliest first (ties in
    /// enabling order), each tick as a turn. Throws std::logic_error inside a turn.
    void runDue();
    /// Virtual clock only: moves time forward by `ms`, firing due timers in order;
    /// each tick's posted work runs before the next tick. At the top level the whole
    /// move is one turn and is done when this returns; inside a turn (an automation
    /// request) it continues after the turn's present work, and the clock arrives
    /// before the callbacks given to afterTurn after this call run.
    void advance(std::int64_t ms);
    /// Clock time of the next due timer, if any.
    std::optional<std::int64_t> nextDue() const;

    /// How often a driver runs the watches while there are any.
    static constexpr std::chrono::milliseconds kWatchInterval{10};
    /// Runs `check` as a turn after every round of the driver, and at least every
    /// kWatchInterval of real time, until it returns true: for work that waits on
    /// something outside the loop (a worker thread becoming idle) without holding
    /// the loop up. User-interface thread.
    void watch(std::function<bool()> check);
    bool watching() const { return !watches_.empty(); }
    /// Top level only: runs every watch once, each as a turn. Throws
    /// std::logic_error inside a turn.
    void runWatches();

    /// Called (from any thread) when work is queued or the timers change, so a
    /// real-time driver can wake up.
    void setWakeHandler(std::function<void()> fn);
    /// A driver that was called inside a turn (a modal dialog's loop) and could not
    /// run then asks for a wake-up once the turn is over.
    void wakeAfterTurn() { wakeAfterTurn_ = true; }
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
    class TurnScope;
    void refuseInsideTurn(const char* what) const;
    std::optional<std::function<void()>> takeTurnWork();
    void finishTurn();
    void advanceStep(std::int64_t target);
    Timer* nextDueTimer(std::int64_t until) const;
    void wake();

    ClockKind clock_;
    std::chrono::steady_clock::time_point start_;
    std::int64_t virtualNow_ = 0;
    std::vector<Timer*> timers_;
    std::uint64_t sequence_ = 0;

    // User-interface thread only.
    bool inTurn_ = false;
    bool wakeAfterTurn_ = false;
    /// The callbacks of afterTurn, in groups: a running callback opens a new group,
    /// which is used up before the older ones.
    std::vector<std::deque<std::function<void()>>> afterTurn_;
    std::vector<std::function<bool()>> watches_;

    mutable std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> queue_;    ///< work waiting for a turn of its own
    std::deque<std::function<void()>> turnWork_; ///< work of the running turn
    std::thread::id turnThread_;                 ///< the thread of the running turn
    std::function<void()> wakeHandler_;
    std::function<void(const std::string&)> errorHandler_;
};

} // namespace ui
