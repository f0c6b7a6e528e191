#pragma once
// The binding of a menu item: an action on its menu, its menu bar or its parent
// item's sub-menu, showing the item's caption, visibility, enabled state and check
// mark. Triggering the action clicks the item in the model. An item with sub-items
// gets its sub-menu with the first of them.
//
// Owns the action and the sub-menu. Thread: user-interface thread only.

#include "qt/Binding.h"

namespace ui {
class MenuItem;
}

namespace qtfront {

class MenuItemBinding final : public Binding {
  public:
    /// Puts the action on `owner`'s item host; without one the item shows nothing.
    MenuItemBinding(ui::MenuItem& item, BindingHost& host, std::uint64_t serial, Binding* owner);

    QWidget* itemHost() override;
    QAction* action() const override;
    QMenu* menu() const override;

  private:
    void applyCommon() override;
    void stack(const std::vector<Binding*>& children) override;

    ui::MenuItem& item_;
    QPointer<QAction> action_;
    QPointer<QMenu> subMenu_;
};

} // namespace qtfront
