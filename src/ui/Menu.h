#pragma once
// Main and popup menus and their items. Items are controls too, so they are found
// by name like every other control.
//
// Thread: user-interface thread only.

#include "ui/Control.h"
#include "ui/Hook.h"

namespace ui {

class MenuItem;

class Menu : public Control {
  public:
    enum class Style { Main, Popup };
    Menu(std::string name, Control* parent, Style style = Style::Popup);

    Style style() const { return style_; }
    MenuItem& addItem(std::string name, std::string caption);
    std::vector<MenuItem*> items() const;

    /// Pops the menu up at a screen position: records the request, then tells
    /// popupRequested. The front end shows it; headless, an item is then clicked by name.
    void popup(int x, int y);
    int popupCount() const { return popups_; }
    int popupX() const { return popupX_; }
    int popupY() const { return popupY_; }
    /// The menu asks to be shown at screen position (x, y). Subscribe on the
    /// user-interface thread; the menu notifies from popup().
    Hook<Menu&, int, int> popupRequested;

  private:
    Style style_;
    int popups_ = 0;
    int popupX_ = 0, popupY_ = 0;
};

class MenuItem : public Control {
  public:
    MenuItem(std::string name, Control* parent)
        : Control(Kind::MenuItem, std::move(name), parent) {}
    /// A sub-item, for menus of the main menu bar.
    MenuItem& addItem(std::string name, std::string caption);
    bool checked() const { return checked_; }
    void setChecked(bool on);
    bool deliver(Event event, EventArgs& args) override;
    bool takes(Event event) const override { return event == Event::Click; }

  private:
    bool checked_ = false;
};

} // namespace ui
