#include "ui/Application.h"

#include <algorithm>

#include "ui/Form.h"

namespace ui {

Application::Application(EventLoop::ClockKind clock) : loop_(clock) {
    loop_.setErrorHandler([this](const std::string& text) { dialogs_.showError(text); });
}

void Application::setTitle(std::string title) {
    title_ = std::move(title);
    dialogs_.setTitle(title_);
}

Form* Application::findForm(std::string_view name) const {
    for (Form* f : forms_)
        if (f->name() == name)
            return f;
    return nullptr;
}

Control* Application::findControl(std::string_view name) const {
    // "form.control" names a control of one form, for names that several forms use.
    if (auto dot = name.find('.'); dot != std::string_view::npos) {
        Form* f = findForm(name.substr(0, dot));
        return f ? f->find(name.substr(dot + 1)) : nullptr;
    }
    for (Form* f : forms_)
        if (Control* c = f->find(name))
            return c;
    return nullptr;
}

void Application::terminate() {
    if (terminated_)
        return;
    terminated_ = true;
    if (onTerminate)
        onTerminate();
}

void Application::dispatch(const std::function<void()>& fn) {
    if (loop_.inTurn())
        loop_.guard(fn);
    else
        loop_.runTurn(fn);
}

bool Application::waitWhile(const std::function<bool()>& finished) {
    if (!waitHook)
        return true; // callers without a hook run their call directly
    struct Flag {
        bool& on;
        explicit Flag(bool& f) : on(f) { on = true; }
        ~Flag() { on = false; }
    } flag{waiting_};
    return waitHook(finished);
}

bool Application::deliver(Control& control, Event event, EventArgs& args) {
    if (!control.takes(event))
        return false;
    if ((event == Event::MouseDown || event == Event::DblClick) && mousePressHook &&
        control.enabled() && control.showing() && mousePressHook(control, event, args))
        return true;
    return control.deliver(event, args);
}

void Application::addForm(Form* form) {
    forms_.push_back(form);
}

void Application::removeForm(Form* form) {
    controlRemoved.notify(*form);
    forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
    if (principal_ == form)
        principal_ = nullptr;
}

} // namespace ui
