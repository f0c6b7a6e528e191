#pragma once
// The binding of a form: a top-level FormWindow whose client area holds the
// controls' widgets. The window follows the form's caption, place, size and enabled
// state; the user closing, moving or resizing it goes to the model, which decides.
// A system move the form asks for becomes the window manager's drag.
//
// Owns the window and its subscription to the form's system-move requests.
// Thread: user-interface thread only.

#include "qt/Binding.h"
#include "ui/Control.h"
#include "ui/Subscription.h"

namespace ui {
class Form;
}

namespace qtfront {

class FormBinding final : public Binding {
  public:
    /// Makes the window, hidden; the front end shows it once its controls are in place.
    FormBinding(ui::Form& form, BindingHost& host, std::uint64_t serial);

    FormWindow* window() const override;

  private:
    void applyCommon() override;
    void stack(const std::vector<Binding*>& children) override;

    ui::Form& form_;
    QPointer<QWidget> window_;
    /// The bounds last given to the window; the window keeps what the user did to it
    /// until the model's bounds move.
    ui::Bounds shownBounds_{-1, -1, -1, -1};
    ui::Subscription systemMove_;
    ui::Subscription systemResize_;
};

} // namespace qtfront
