#include "ui/Menu.h"

namespace ui {

Menu::Menu(std::string name, Control* parent, Style style)
    : Control(Kind::Menu, std::move(name), parent), style_(style) {
    if (style_ == Style::Popup)
        Control::setVisible(false);
}

MenuItem& Menu::addItem(std::string name, std::string caption) {
    auto& item = add<MenuItem>(std::move(name));
    item.setCaption(std::move(caption));
    return item;
}

std::vector<MenuItem*> Menu::items() const {
    std::vector<MenuItem*> out;
    for (auto& c : children())
        if (auto* item = dynamic_cast<MenuItem*>(c.get()))
            out.push_back(item);
    return out;
}

void Menu::popup(int x, int y) {
    ++popups_;
    popupX_ = x;
    popupY_ = y;
    changed();
    popupRequested.notify(*this, x, y);
}

MenuItem& MenuItem::addItem(std::string name, std::string caption) {
    auto& item = add<MenuItem>(std::move(name));
    item.setCaption(std::move(caption));
    return item;
}

void MenuItem::setChecked(bool on) {
    if (checked_ != on) {
        checked_ = on;
        changed();
    }
}

bool MenuItem::deliver(Event event, EventArgs&) {
    // A menu item is reachable while it and its parent items are visible and
    // enabled; the menu itself is shown only while it is popped up, so it does not count.
    if (event != Event::Click)
        return false;
    for (Control* c = this; c && c->kind() == Kind::MenuItem; c = c->parent())
        if (!c->visible() || !c->enabled())
            return true;
    if (onClick)
        onClick();
    return true;
}

} // namespace ui
