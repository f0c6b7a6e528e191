#pragma once
// The binding of a form's main menu: a menu bar across the top of the form's
// window, listing the menu's items. The bar shows while the menu is visible and has
// a visible item.
//
// Owns the menu bar. Thread: user-interface thread only.

#include "qt/Binding.h"

namespace ui {
class Menu;
}

namespace qtfront {

class MainMenuBinding final : public Binding {
  public:
    /// Puts the bar on `window`, the window of the menu's form; without one the menu
    /// shows nothing.
    MainMenuBinding(ui::Menu& menu, BindingHost& host, std::uint64_t serial, FormWindow* window);

    QWidget* itemHost() override;

  private:
    void applyKind() override;
    void stack(const std::vector<Binding*>& children) override;

    ui::Menu& menu_;
    QPointer<QWidget> bar_;
};

} // namespace qtfront
