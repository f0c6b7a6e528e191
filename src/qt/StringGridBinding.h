#pragma once
// The binding of a string grid: a QTableWidget whose header is the grid's first
// fixed row (further fixed rows show as rows that cannot be selected). The cell
// the user selects is the model's SelectCell.
//
// Owns the widget. Thread: user-interface thread only.

#include "qt/Binding.h"

namespace ui {
class StringGrid;
}

namespace qtfront {

class StringGridBinding final : public Binding {
  public:
    StringGridBinding(ui::StringGrid& grid, BindingHost& host, std::uint64_t serial,
                      QWidget* parent);

  private:
    void applyKind() override;

    ui::StringGrid& grid_;
};

} // namespace qtfront
