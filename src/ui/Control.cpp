#include "ui/Control.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "ui/Form.h"

namespace ui {

namespace {
constexpr std::array kKindNames = {
    "Form",         "Panel",       "Label",      "Image",       "Button",      "Edit",
    "Memo",         "RadioButton", "TrackBar",   "ProgressBar", "PageControl", "TabSheet",
    "CaptionPanel", "SideChannel", "StringGrid", "TreeView",    "Animation",   "WebView",
    "MediaSurface", "Menu",        "MenuItem",   "Timer"};
constexpr std::array kEventNames = {"Click",      "DblClick",  "MouseEnter", "MouseMove",
                                    "MouseLeave", "MouseDown", "MouseUp",    "KeyPress",
                                    "Change",     "Exit",      "TabActive",  "SelectCell",
                                    "Pop",        "Show",      "Close",      "Activate"};
constexpr std::array kCursorNames = {"Default", "Arrow", "HandPoint", "HourGlass", "AppStart"};
} // namespace

std::string_view kindName(Kind kind) {
    return kKindNames.at(static_cast<std::size_t>(kind));
}
std::string_view eventName(Event event) {
    return kEventNames.at(static_cast<std::size_t>(event));
}
std::string_view cursorName(Cursor cursor) {
    return kCursorNames.at(static_cast<std::size_t>(cursor));
}

bool parseEvent(std::string_view name, Event& event) {
    for (std::size_t i = 0; i < kEventNames.size(); ++i)
        if (name == kEventNames[i]) {
            event = static_cast<Event>(i);
            return true;
        }
    return false;
}

std::string Colour::hex() const {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02X%02X%02X", r, g, b);
    return buf;
}

Control::Control(Kind kind, std::string name, Control* parent)
    : kind_(kind), name_(std::move(name)), parent_(parent) {
    if (parent)
        form_ = parent->form_;
}

Control::~Control() {
    children_.clear();
    if (form_ && form_ != this)
        form_->unregisterControl(*this);
}

void Control::adopt(std::unique_ptr<Control> child) {
    if (form_)
        form_->registerControl(*child);
    children_.push_back(std::move(child));
    changed();
}

bool Control::isInside(const Control& ancestor) const {
    for (const Control* c = this; c; c = c->parent_)
        if (c == &ancestor)
            return true;
    return false;
}

void Control::changed() {
    revision_ = form_ ? form_->nextRevision() : revision_ + 1;
}

void Control::setBounds(int left, int top, int width, int height) {
    Bounds b{left, top, width, height};
    if (b == bounds_)
        return;
    bounds_ = b;
    changed();
}

void Control::setVisible(bool v) {
    if (visible_ == v)
        return;
    visible_ = v;
    changed();
}

bool Control::showing() const {
    for (const Control* c = this; c; c = c->parent_)
        if (!c->visible_)
            return false;
    return true;
}

void Control::setEnabled(bool v) {
    if (enabled_ == v)
        return;
    enabled_ = v;
    changed();
}

void Control::setCaption(std::string text) {
    if (caption_ == text)
        return;
    caption_ = std::move(text);
    changed();
}

void Control::setHint(std::string text) {
    if (hint_ == text)
        return;
    hint_ = std::move(text);
    changed();
}

void Control::setKeyHint(std::string key) {
    if (keyHint_ == key)
        return;
    keyHint_ = std::move(key);
    changed();
}

void Control::setFont(const Font& f) {
    if (font_ == f)
        return;
    font_ = f;
    changed();
}

void Control::setFontColour(Colour c) {
    Font f = font_;
    f.colour = c;
    setFont(f);
}

void Control::setFontHeight(int pixels) {
    Font f = font_;
    f.height = pixels;
    setFont(f);
}

void Control::setColour(Colour c) {
    if (hasColour_ && colour_ == c)
        return;
    hasColour_ = true;
    colour_ = c;
    changed();
}

void Control::setCursor(Cursor c) {
    if (cursor_ == c)
        return;
    cursor_ = c;
    changed();
}

void Control::setPopupMenu(Menu* menu) {
    if (popupMenu_ == menu)
        return;
    popupMenu_ = menu;
    changed();
}

void Control::setSkin(int group) {
    if (skin_ == group)
        return;
    skin_ = group;
    changed();
}

void Control::moveInParent(bool toFront) {
    if (!parent_)
        return;
    auto& sib = parent_->children_;
    auto it = std::find_if(sib.begin(), sib.end(), [this](auto& p) { return p.get() == this; });
    if (it == sib.end())
        return;
    auto self = std::move(*it);
    sib.erase(it);
    if (toFront)
        sib.push_back(std::move(self));
    else
        sib.insert(sib.begin(), std::move(self));
    parent_->changed();
    changed();
}

void Control::bringToFront() {
    moveInParent(true);
}
void Control::sendToBack() {
    moveInParent(false);
}

int Control::zIndex() const {
    if (!parent_)
        return 0;
    const auto& sib = parent_->children_;
    for (std::size_t i = 0; i < sib.size(); ++i)
        if (sib[i].get() == this)
            return static_cast<int>(i);
    return -1;
}

bool Control::takes(Event event) const {
    switch (event) {
    case Event::Click:
    case Event::DblClick:
    case Event::MouseEnter:
    case Event::MouseLeave:
    case Event::MouseMove:
    case Event::MouseDown:
    case Event::MouseUp:
    case Event::KeyPress:
    case Event::Change:
    case Event::Exit:
        return true;
    default:
        return false;
    }
}

bool Control::deliver(Event event, EventArgs& args) {
    // Input goes only to controls a user could reach.
    const bool reachable = enabled_ && showing();
    auto run = [&](auto& handler, auto&&... a) {
        if (reachable && handler)
            handler(a...);
        return true;
    };
    switch (event) {
    case Event::Click:
        return run(onClick);
    case Event::DblClick:
        return run(onDblClick);
    case Event::MouseEnter:
        return run(onMouseEnter);
    case Event::MouseLeave:
        return run(onMouseLeave);
    case Event::MouseMove:
        return run(onMouseMove, args.x, args.y);
    case Event::MouseDown:
        return run(onMouseDown, args.button, args.x, args.y);
    case Event::MouseUp:
        return run(onMouseUp, args.button, args.x, args.y);
    case Event::KeyPress:
        return run(onKeyPress, args.key);
    case Event::Change:
        return run(onChange);
    case Event::Exit:
        return run(onExit);
    default:
        return false;
    }
}

std::pair<int, int> screenPosition(const Control& control, int x, int y) {
    for (const Control* c = &control; c; c = c->parent()) {
        x += c->left();
        y += c->top();
    }
    return {x, y};
}

} // namespace ui
