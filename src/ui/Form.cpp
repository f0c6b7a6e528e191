#include "ui/Form.h"

#include <algorithm>

#include "ui/Application.h"

namespace ui {

Form::Form(Application& app, std::string name)
    : Control(Kind::Form, std::move(name), nullptr), app_(app) {
    form_ = this;
    registry_.emplace(this->name(), this);
    order_.push_back(this);
    Control::setVisible(false);
    app_.addForm(this);
}

Form::~Form() {
    // Children unregister themselves, so they must go while the registry lives.
    children_.clear();
    app_.removeForm(this);
}

Control* Form::find(std::string_view name) const {
    auto it = registry_.find(name);
    return it == registry_.end() ? nullptr : it->second;
}

void Form::registerControl(Control& c) {
    if (!registry_.emplace(c.name(), &c).second)
        throw std::logic_error("Form " + name() + " already has a control named " + c.name());
    order_.push_back(&c);
}

void Form::unregisterControl(Control& c) {
    app_.controlRemoved.notify(c);
    auto it = registry_.find(c.name());
    if (it != registry_.end() && it->second == &c)
        registry_.erase(it);
    order_.erase(std::remove(order_.begin(), order_.end(), &c), order_.end());
}

std::uint64_t Form::nextRevision() {
    return app_.nextRevision();
}

void Form::setVisible(bool v) {
    const bool wasVisible = visible();
    Control::setVisible(v);
    if (v && !wasVisible && onShow)
        onShow();
}

void Form::startSystemMove() {
    ++systemMoves_;
    systemMoveRequested.notify();
}

void Form::startSystemResize(Corner corner) {
    ++systemResizes_;
    systemResizeRequested.notify(corner);
}

void Form::setFrameless(bool on) {
    if (frameless_ != on) {
        frameless_ = on;
        changed();
    }
}

void Form::setPointerHidden(bool hidden) {
    if (pointerHidden_ != hidden) {
        pointerHidden_ = hidden;
        changed();
    }
}

void Form::resize(int width, int height) {
    if (width == this->width() && height == this->height())
        return;
    setBounds(left(), top(), width, height);
    if (onResize)
        onResize();
}

void Form::close() {
    if (onClose)
        onClose();
    hide();
    if (app_.principal() == this)
        app_.terminate();
}

bool Form::deliver(Event event, EventArgs& args) {
    switch (event) {
    case Event::Show:
        show();
        return true;
    case Event::Close:
        close();
        return true;
    case Event::Activate:
        if (enabled() && visible() && onMouseActivate)
            onMouseActivate();
        return true;
    case Event::MouseEnter:
        Control::deliver(event, args);
        if (enabled() && visible() && onMouseEnterAt)
            onMouseEnterAt(args.x, args.y);
        return true;
    default:
        return Control::deliver(event, args);
    }
}

void Form::setStayOnTop(bool on) {
    if (stayOnTop_ != on) {
        stayOnTop_ = on;
        changed();
    }
}

} // namespace ui
