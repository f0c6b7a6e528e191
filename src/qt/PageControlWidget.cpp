#include "qt/PageControlWidget.h"

#include <algorithm>

namespace qtfront {

PageControlWidget::PageControlWidget(QWidget* parent) : QFrame(parent), bar_(new QTabBar(this)) {
    bar_->setDrawBase(false);
    bar_->setExpanding(false);
    bar_->setUsesScrollButtons(true);
    bar_->setElideMode(Qt::ElideNone);
    bar_->setFocusPolicy(Qt::TabFocus);
    connect(bar_, &QTabBar::currentChanged, this, [this](int index) {
        if (!updating_ && index >= 0)
            emit tabChosen(index);
    });
}

void PageControlWidget::setTabs(const std::vector<Tab>& tabs, int active) {
    updating_ = true;
    while (bar_->count() > static_cast<int>(tabs.size()))
        bar_->removeTab(bar_->count() - 1);
    for (std::size_t i = 0; i < tabs.size(); ++i) {
        const int index = static_cast<int>(i);
        if (index >= bar_->count())
            bar_->addTab(tabs[i].caption);
        else if (bar_->tabText(index) != tabs[i].caption)
            bar_->setTabText(index, tabs[i].caption);
        if (bar_->isTabVisible(index) != tabs[i].visible)
            bar_->setTabVisible(index, tabs[i].visible);
    }
    if (active >= 0 && active < bar_->count() && bar_->currentIndex() != active)
        bar_->setCurrentIndex(active);
    updating_ = false;
    relayout();
}

void PageControlWidget::setTabsAtBottom(bool on) {
    if (bottom_ == on)
        return;
    bottom_ = on;
    bar_->setShape(on ? QTabBar::RoundedSouth : QTabBar::RoundedNorth);
    relayout();
}

void PageControlWidget::addSheet(QWidget* sheet) {
    sheets_.emplace_back(sheet);
    sheet->setGeometry(sheetArea());
}

QRect PageControlWidget::sheetArea() const {
    const int barHeight = bar_->sizeHint().height();
    QRect area = rect();
    if (bottom_)
        area.setBottom(area.bottom() - barHeight);
    else
        area.setTop(area.top() + barHeight);
    return area;
}

void PageControlWidget::relayout() {
    const int barHeight = bar_->sizeHint().height();
    const int barWidth = std::min(width(), bar_->sizeHint().width());
    bar_->setGeometry(0, bottom_ ? height() - barHeight : 0, std::max(barWidth, 0), barHeight);
    bar_->raise();
    const QRect area = sheetArea();
    std::erase_if(sheets_, [](const QPointer<QWidget>& s) { return s.isNull(); });
    for (const auto& sheet : sheets_)
        sheet->setGeometry(area);
}

void PageControlWidget::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    relayout();
}

} // namespace qtfront
