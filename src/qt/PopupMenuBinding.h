#pragma once
// The binding of a popup menu: a QMenu listing the menu's items, popped up where
// the model asks (Menu::popupRequested).
//
// Owns the QMenu and its subscription to the menu's popup requests. Thread:
// user-interface thread only.

#include "qt/Binding.h"
#include "ui/Subscription.h"

namespace ui {
class Menu;
}

namespace qtfront {

class PopupMenuBinding final : public Binding {
  public:
    /// Makes the QMenu under `parent`: the widget of the place the menu belongs to,
    /// whose skin it takes.
    PopupMenuBinding(ui::Menu& menu, BindingHost& host, std::uint64_t serial, QWidget* parent);

    QWidget* itemHost() override;
    QMenu* menu() const override;

  private:
    void stack(const std::vector<Binding*>& children) override;

    QPointer<QMenu> menu_;
    ui::Subscription popupRequest_;
};

} // namespace qtfront
