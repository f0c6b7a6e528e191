#include "qt/StringGridBinding.h"

#include <QHeaderView>
#include <QTableWidget>

#include <algorithm>

#include "qt/BindingHost.h"
#include "qt/Conversions.h"
#include "ui/StringGrid.h"

namespace qtfront {

StringGridBinding::StringGridBinding(ui::StringGrid& grid, BindingHost& host, std::uint64_t serial,
                                     QWidget* parent)
    : Binding(grid, host, serial), grid_(grid) {
    auto* q = new QTableWidget(parent);
    q->setEditTriggers(QAbstractItemView::NoEditTriggers);
    q->setSelectionMode(QAbstractItemView::ContiguousSelection);
    q->setSelectionBehavior(QAbstractItemView::SelectItems);
    q->setAlternatingRowColors(false);
    q->setWordWrap(false);
    q->setCornerButtonEnabled(false);
    q->setShowGrid(true);
    q->verticalHeader()->hide();
    q->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    q->horizontalHeader()->setHighlightSections(false);
    q->horizontalHeader()->setSectionsClickable(false);
    // The user resizes and moves the columns; a resize is the grid's new width.
    q->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    q->horizontalHeader()->setSectionsMovable(true);
    QObject::connect(q->horizontalHeader(), &QHeaderView::sectionResized, q,
                     [this, g = guard()](int col, int, int width) {
                         if (!g.takesInput() || grid_.colWidth(col) == width)
                             return;
                         ui::StringGrid& grid = grid_;
                         this->host().dispatchInput(
                             grid_, [&grid, col, width] { grid.setColWidth(col, width); });
                     });
    QObject::connect(q, &QTableWidget::currentCellChanged, q,
                     [this, g = guard()](int row, int col, int, int) {
                         if (row < 0 || col < 0 || !g.takesInput())
                             return;
                         ui::EventArgs args;
                         args.col = col;
                         args.row = row + (grid_.fixedRows() > 0 ? 1 : 0);
                         this->host().deliver(grid_, ui::Event::SelectCell, args);
                     });
    q->viewport()->setMouseTracking(true);
    watch(q->viewport(), InputRole::Pointer);
    adopt(q, InputRole::Keys);
}

void StringGridBinding::applyKind() {
    auto* q = static_cast<QTableWidget*>(widget());
    // The first fixed row is the header; further fixed rows show as plain rows
    // that cannot be selected.
    const int header = grid_.fixedRows() > 0 ? 1 : 0;
    const int rows = std::max(0, grid_.rowCount() - header);
    if (q->columnCount() != grid_.colCount())
        q->setColumnCount(grid_.colCount());
    if (q->rowCount() != rows)
        q->setRowCount(rows);
    q->horizontalHeader()->setVisible(header > 0);
    if (q->verticalHeader()->defaultSectionSize() != grid_.defaultRowHeight())
        q->verticalHeader()->setDefaultSectionSize(grid_.defaultRowHeight());
    for (int col = 0; col < grid_.colCount(); ++col) {
        if (header) {
            const QString text = toQString(grid_.cell(col, 0));
            QTableWidgetItem* item = q->horizontalHeaderItem(col);
            if (!item) {
                item = new QTableWidgetItem;
                q->setHorizontalHeaderItem(col, item);
            }
            if (item->text() != text)
                item->setText(text);
        }
        if (q->columnWidth(col) != grid_.colWidth(col))
            q->setColumnWidth(col, grid_.colWidth(col));
    }
    for (int row = 0; row < rows; ++row) {
        const int modelRow = row + header;
        const bool fixed = modelRow < grid_.fixedRows();
        for (int col = 0; col < grid_.colCount(); ++col) {
            QTableWidgetItem* item = q->item(row, col);
            if (!item) {
                item = new QTableWidgetItem;
                q->setItem(row, col, item);
            }
            const Qt::ItemFlags flags =
                fixed ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable;
            if (item->flags() != flags)
                item->setFlags(flags);
            const QString text = toQString(grid_.cell(col, modelRow));
            if (item->text() != text)
                item->setText(text);
        }
    }
    const int selRow = grid_.selectedRow() - header;
    if (selRow >= 0 && selRow < rows && grid_.selectedCol() < grid_.colCount() &&
        (q->currentRow() != selRow || q->currentColumn() != grid_.selectedCol()))
        q->setCurrentCell(selRow, grid_.selectedCol());
}

} // namespace qtfront
