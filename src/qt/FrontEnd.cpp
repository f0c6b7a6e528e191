#include "qt/FrontEnd.h"

#include <QWidget>

#include "qt/Binding.h"
#include "qt/BindingFactory.h"
#include "qt/FormWindow.h"
#include "qt/InputTranslator.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Menu.h"

namespace qtfront {

namespace {

/// Restores a flag on every way out of a scope.
class FlagScope {
  public:
    explicit FlagScope(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = old_; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

  private:
    bool& flag_;
    bool old_;
};

} // namespace

FrontEnd::FrontEnd(ui::Application& app, Skins skins)
    : app_(app), skins_(std::move(skins)),
      input_(std::make_unique<InputTranslator>(static_cast<BindingHost&>(*this))) {
    controlRemoved_ = app_.controlRemoved.subscribe([this](ui::Control& c) { forget(c); });
}

FrontEnd::~FrontEnd() {
    controlRemoved_.reset();
    input_->stop();
    // With the registry empty, whatever the widgets say while they go reaches no control.
    auto bindings = std::move(bindings_);
    bindings_.clear();
    bindings.clear();
    for (auto& window : windows_)
        delete window.data();
}

// --- bringing widgets in step ----------------------------------------------------

void FrontEnd::sync() {
    if (syncing_)
        return;
    {
        FlagScope scope(syncing_);
        updated_.clear();
        const std::vector<ui::Form*> forms = app_.forms();
        for (ui::Form* form : forms)
            syncControl(*form);
        for (const auto& [control, binding] : bindings_)
            binding->afterSync();
        // Windows appear once their controls are all in place.
        for (ui::Form* form : forms) {
            Binding* binding = bindingOf(form);
            FormWindow* window = binding ? binding->window() : nullptr;
            if (!window)
                continue;
            if (form->visible() && window->isHidden())
                window->show();
            else if (!form->visible() && !window->isHidden())
                window->hide();
        }
    }
    if (app_.terminated() && !terminatedSignalled_) {
        terminatedSignalled_ = true;
        emit terminated();
    }
}

void FrontEnd::syncControl(ui::Control& control) {
    Binding* binding = bindingOf(&control);
    if (!binding) {
        build(control);
        return;
    }
    if (binding->stale()) {
        bringInStep(*binding);
        for (const auto& child : control.children())
            if (!bindingOf(child.get()))
                build(*child);
        restack(*binding);
    }
    for (const auto& child : control.children())
        syncControl(*child);
}

void FrontEnd::build(ui::Control& control) {
    std::unique_ptr<Binding> made = makeBinding(control, *this, ++serials_);
    Binding& binding = *made;
    bindings_[&control] = std::move(made);
    if (FormWindow* window = binding.window())
        windows_.emplace_back(window);
    bringInStep(binding);
    for (const auto& child : control.children())
        build(*child);
    restack(binding);
}

void FrontEnd::bringInStep(Binding& binding) {
    // A new skin group changes what every descendant inherits.
    if (binding.apply(skins_)) {
        std::vector<const ui::Control*> stack{&binding.control()};
        while (!stack.empty()) {
            const ui::Control* c = stack.back();
            stack.pop_back();
            for (const auto& child : c->children()) {
                if (Binding* b = bindingOf(child.get()))
                    b->markStale();
                stack.push_back(child.get());
            }
        }
    }
    updated_.push_back(&binding.control());
}

void FrontEnd::restack(Binding& binding) {
    std::vector<Binding*> children;
    children.reserve(binding.control().children().size());
    for (const auto& child : binding.control().children())
        if (Binding* b = bindingOf(child.get()))
            children.push_back(b);
    binding.restack(children);
}

void FrontEnd::forget(ui::Control& control) {
    auto it = bindings_.find(&control);
    if (it == bindings_.end())
        return;
    // Out of the registry first: what its widgets say while they go reaches nothing.
    std::unique_ptr<Binding> gone = std::move(it->second);
    bindings_.erase(it);
}

Binding* FrontEnd::bindingOf(const ui::Control* control) const {
    auto it = bindings_.find(control);
    return it == bindings_.end() ? nullptr : it->second.get();
}

bool FrontEnd::alive(const ui::Control* control, std::uint64_t serial) const {
    const Binding* binding = bindingOf(control);
    return binding && binding->serial() == serial;
}

// --- the user's input -----------------------------------------------------------

void FrontEnd::dispatch(const std::function<void()>& fn) {
    app_.dispatch(fn);
    sync();
}

void FrontEnd::dispatchInput(ui::Control& control, const std::function<void()>& fn) {
    const Binding* before = bindingOf(&control);
    const std::uint64_t serial = before ? before->serial() : 0;
    app_.dispatch(fn);
    // The widget may have gone its own way (a radio button Qt unchecked, a tab the
    // handler refused): the next sync puts it back where the model is.
    if (Binding* after = bindingOf(&control); after && after->serial() == serial)
        after->markStale();
    sync();
}

ui::EventArgs FrontEnd::deliver(ui::Control& control, ui::Event event, ui::EventArgs args) {
    dispatchInput(control, [&] { app_.deliver(control, event, args); });
    return args;
}

void FrontEnd::watch(QObject* object, ui::Control& control, InputRole role) {
    input_->watch(object, control, role);
}

void FrontEnd::unwatch(QObject* object) {
    input_->unwatch(object);
}

// --- what tests and the driver look up -------------------------------------------

QWidget* FrontEnd::widgetOf(const ui::Control& control) const {
    const Binding* binding = bindingOf(&control);
    return binding ? binding->widget() : nullptr;
}

FormWindow* FrontEnd::windowOf(const ui::Form& form) const {
    const Binding* binding = bindingOf(&form);
    return binding ? binding->window() : nullptr;
}

QAction* FrontEnd::actionOf(const ui::MenuItem& item) const {
    const Binding* binding = bindingOf(&item);
    return binding ? binding->action() : nullptr;
}

QMenu* FrontEnd::menuOf(const ui::Control& control) const {
    const Binding* binding = bindingOf(&control);
    return binding ? binding->menu() : nullptr;
}

} // namespace qtfront
