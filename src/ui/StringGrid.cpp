#include "ui/StringGrid.h"

#include <algorithm>

namespace ui {

namespace {
const std::string kEmpty;
}

StringGrid::StringGrid(std::string name, Control* parent)
    : Control(Kind::StringGrid, std::move(name), parent),
      cells_(static_cast<std::size_t>(cols_ * rows_)),
      colWidths_(static_cast<std::size_t>(cols_), 64) {}

void StringGrid::setSize(int cols, int rows) {
    cols = std::max(cols, 1);
    rows = std::max(rows, 1);
    std::vector<std::string> cells(static_cast<std::size_t>(cols * rows));
    for (int r = 0; r < std::min(rows, rows_); ++r)
        for (int c = 0; c < std::min(cols, cols_); ++c)
            cells[static_cast<std::size_t>(r * cols + c)] =
                std::move(cells_[static_cast<std::size_t>(r * cols_ + c)]);
    cells_ = std::move(cells);
    colWidths_.resize(static_cast<std::size_t>(cols), 64);
    cols_ = cols;
    rows_ = rows;
    fixedRows_ = std::min(fixedRows_, rows_ - 1);
    changed();
}

void StringGrid::setFixedRows(int n) {
    fixedRows_ = std::clamp(n, 0, rows_ - 1);
    changed();
}

const std::string& StringGrid::cell(int col, int row) const {
    if (col < 0 || col >= cols_ || row < 0 || row >= rows_)
        return kEmpty;
    return cells_[static_cast<std::size_t>(row * cols_ + col)];
}

void StringGrid::setCell(int col, int row, std::string text) {
    if (col < 0 || col >= cols_ || row < 0 || row >= rows_)
        return;
    auto& cell = cells_[static_cast<std::size_t>(row * cols_ + col)];
    if (cell == text)
        return;
    cell = std::move(text);
    changed();
}

void StringGrid::clearCells() {
    for (auto& c : cells_)
        c.clear();
    changed();
}

int StringGrid::colWidth(int col) const {
    return col >= 0 && col < cols_ ? colWidths_[static_cast<std::size_t>(col)] : 0;
}

void StringGrid::setColWidth(int col, int width) {
    if (col < 0 || col >= cols_)
        return;
    colWidths_[static_cast<std::size_t>(col)] = width;
    changed();
}

void StringGrid::setDefaultRowHeight(int pixels) {
    if (rowHeight_ == pixels)
        return;
    rowHeight_ = pixels;
    changed();
}

bool StringGrid::deliver(Event event, EventArgs& args) {
    if (event == Event::SelectCell) {
        if (!enabled() || !showing())
            return true;
        if (args.col < 0 || args.col >= cols_ || args.row < fixedRows_ || args.row >= rows_)
            return true; // the front end never selects outside the cells
        bool canSelect = true;
        if (onSelectCell)
            onSelectCell(args.col, args.row, canSelect);
        if (canSelect) {
            selCol_ = args.col;
            selRow_ = args.row;
            changed();
        }
        return true;
    }
    return Control::deliver(event, args);
}

} // namespace ui
