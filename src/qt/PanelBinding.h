#pragma once
// The binding of a panel: a PanelWidget, titled with the panel's caption.
//
// Owns the widget. Thread: user-interface thread only.

#include "qt/Binding.h"

namespace ui {
class Panel;
}

namespace qtfront {

class PanelBinding final : public Binding {
  public:
    PanelBinding(ui::Panel& panel, BindingHost& host, std::uint64_t serial, QWidget* parent);

  private:
    void applyKind() override;
};

} // namespace qtfront
