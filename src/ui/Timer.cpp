#include "ui/Timer.h"

#include "ui/Application.h"
#include "ui/EventLoop.h"
#include "ui/Form.h"

namespace ui {

namespace {
EventLoop& loopOf(Control* parent) {
    if (!parent || !parent->form())
        throw std::logic_error("a timer needs a form");
    return parent->form()->app().loop();
}
} // namespace

Timer::Timer(std::string name, Control* parent, int intervalMs, bool enabled)
    : Control(Kind::Timer, std::move(name), parent), loop_(loopOf(parent)), interval_(intervalMs) {
    Control::setVisible(false);
    Control::setEnabled(false);
    loop_.addTimer(this);
    setEnabled(enabled);
}

Timer::~Timer() {
    loop_.removeTimer(this);
}

void Timer::reschedule() {
    if (Control::enabled() && interval_ > 0) {
        due_ = loop_.now() + interval_;
        sequence_ = loop_.nextSequence();
    } else {
        due_ = -1;
    }
    loop_.timersChanged();
}

void Timer::setInterval(int ms) {
    if (ms == interval_)
        return;
    interval_ = ms;
    changed();
    reschedule();
}

void Timer::setEnabled(bool on) {
    // Enabling an enabled timer leaves its interval running, like a toolkit timer.
    if (on == Control::enabled())
        return;
    Control::setEnabled(on);
    reschedule();
}

void Timer::fire() {
    // Schedule the next tick first; a handler that disables or re-enables the timer
    // then changes that schedule, so a timer disabled in its own tick stays quiet.
    reschedule();
    if (onTimer)
        onTimer();
}

} // namespace ui
