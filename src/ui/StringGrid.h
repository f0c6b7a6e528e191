#pragma once
// A grid of text cells with fixed header rows.
//
// Thread: user-interface thread only.

#include <functional>
#include <string>
#include <vector>

#include "ui/Control.h"

namespace ui {

class StringGrid : public Control {
  public:
    StringGrid(std::string name, Control* parent);

    int colCount() const { return cols_; }
    int rowCount() const { return rows_; }
    /// Resizing keeps the cells that still fit.
    void setSize(int cols, int rows);
    int fixedRows() const { return fixedRows_; }
    void setFixedRows(int n);

    /// Out-of-range reads give "", writes are ignored.
    const std::string& cell(int col, int row) const;
    void setCell(int col, int row, std::string text);
    void clearCells();
    int colWidth(int col) const;
    void setColWidth(int col, int width);

    /// Height in pixels of every row.
    int defaultRowHeight() const { return rowHeight_; }
    void setDefaultRowHeight(int pixels);

    int selectedCol() const { return selCol_; }
    int selectedRow() const { return selRow_; }

    /// The user selects a cell; the handler may refuse it by clearing `canSelect`.
    std::function<void(int col, int row, bool& canSelect)> onSelectCell;
    bool deliver(Event event, EventArgs& args) override;
    bool takes(Event event) const override {
        return event == Event::SelectCell || Control::takes(event);
    }

  private:
    int cols_ = 5;
    int rows_ = 5;
    int fixedRows_ = 1;
    std::vector<std::string> cells_;
    std::vector<int> colWidths_;
    int rowHeight_ = 24;
    int selCol_ = 0;
    int selRow_ = 1;
};

} // namespace ui
