#pragma once
// A repeating timer like a toolkit timer: while enabled it fires every interval.
// Enabling it (again) or changing the interval restarts the interval.
//
// Thread: user-interface thread only; the event loop calls onTimer there.

#include <cstdint>
#include <functional>

#include "ui/Control.h"

namespace ui {

class EventLoop;

class Timer : public Control {
  public:
    Timer(std::string name, Control* parent, int intervalMs = 1000, bool enabled = true);
    ~Timer() override;

    int interval() const { return interval_; }
    void setInterval(int ms);
    bool enabled() const { return Control::enabled(); }
    void setEnabled(bool on) override;

    std::function<void()> onTimer;

    /// Called by the event loop when the timer is due.
    void fire();
    /// Virtual time at which the timer fires next, or -1 when disabled.
    std::int64_t due() const { return due_; }
    std::uint64_t sequence() const { return sequence_; }

  private:
    void reschedule();

    EventLoop& loop_;
    int interval_;
    std::int64_t due_ = -1;
    std::uint64_t sequence_ = 0;
};

} // namespace ui
