#pragma once
// The binding of a page control: a PageControlWidget whose tab bar shows the
// sheets' captions and tab visibility and the active page. A tab the user picks is
// the model's TabActive; the model decides whether the page switches.
//
// Owns the widget. Thread: user-interface thread only.

#include "qt/Binding.h"

namespace ui {
class PageControl;
}

namespace qtfront {

class PageControlBinding final : public Binding {
  public:
    PageControlBinding(ui::PageControl& pages, BindingHost& host, std::uint64_t serial,
                       QWidget* parent);

    /// Brings the tab bar in step with the sheets; a sheet's binding calls it when
    /// its caption or tab visibility changed.
    void refreshTabs();

  private:
    void applyKind() override;
    void stack(const std::vector<Binding*>& children) override;

    ui::PageControl& pages_;
};

} // namespace qtfront
