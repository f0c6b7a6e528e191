#pragma once
// The binding of a tab sheet: a frame the page control's widget keeps beside its
// tabs, whatever the sheet's own bounds say. The caption and tab visibility show on
// the page control's tab bar.
//
// Owns the frame. Thread: user-interface thread only.

#include "qt/Binding.h"

namespace ui {
class TabSheet;
}

namespace qtfront {

class TabSheetBinding final : public Binding {
  public:
    /// `parent` is the page control's widget when the sheet belongs to one.
    TabSheetBinding(ui::TabSheet& sheet, BindingHost& host, std::uint64_t serial, QWidget* parent);

  private:
    void place(const QRect& area) override;
    void applyKind() override;
};

} // namespace qtfront
