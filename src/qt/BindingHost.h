#pragma once
// What a control's binding may ask of the front end that holds it: the bindings of
// other controls (its parent's container, its form's window), the user's input
// taken to the model, and the watching of its widgets' input. FrontEnd implements it;
// the bindings and the input translator call it.
//
// Thread: user-interface thread only, as every member.

#include <cstdint>
#include <functional>

#include "qt/InputRole.h"
#include "ui/Control.h"

class QObject;

namespace ui {
class Application;
}

namespace qtfront {

class Binding;

class BindingHost {
  public:
    BindingHost() = default;
    BindingHost(const BindingHost&) = delete;
    BindingHost& operator=(const BindingHost&) = delete;

    virtual ui::Application& application() const = 0;
    /// True while the front end brings widgets in step: what the widgets report then
    /// is the front end's own doing, not the user's.
    virtual bool syncing() const = 0;
    /// The binding showing `control`, or nullptr.
    virtual Binding* bindingOf(const ui::Control* control) const = 0;
    /// True while `control` is shown by the binding numbered `serial` (a later
    /// control at the same address gets another number).
    virtual bool alive(const ui::Control* control, std::uint64_t serial) const = 0;

    /// Brings every widget in step with the model.
    virtual void sync() = 0;
    /// Runs `fn` inside the application's error boundary with the work it posts,
    /// then syncs.
    virtual void dispatch(const std::function<void()>& fn) = 0;
    /// Like dispatch, for the user's input to `control`: the control's widget is
    /// brought back in step too when its revision did not move, since it may have gone
    /// its own way (a radio button Qt unchecked, a tab a handler refused).
    virtual void dispatchInput(ui::Control& control, const std::function<void()>& fn) = 0;
    /// Delivers a user event to `control` as the user's input does (dispatchInput).
    /// Returns the arguments as the handler left them (a key it changed or cleared).
    virtual ui::EventArgs deliver(ui::Control& control, ui::Event event, ui::EventArgs args) = 0;

    /// Turns `object`'s input into `control`'s events, in `role`, until unwatch.
    virtual void watch(QObject* object, ui::Control& control, InputRole role) = 0;
    virtual void unwatch(QObject* object) = 0;

  protected:
    ~BindingHost() = default;
};

} // namespace qtfront
