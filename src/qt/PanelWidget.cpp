#include "qt/PanelWidget.h"

#include <QPainter>

#include <algorithm>

namespace qtfront {

PanelWidget::PanelWidget(QWidget* parent) : QFrame(parent) {}

void PanelWidget::setCaption(const QString& caption) {
    if (caption_ != caption) {
        caption_ = caption;
        update();
    }
}

void PanelWidget::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (caption_.isEmpty())
        return;
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    QRect band = contentsRect();
    band.setHeight(std::min(kTitleHeight, band.height()));
    band.adjust(8, 0, -8, 0);
    const QString text = fontMetrics().elidedText(caption_, Qt::ElideRight, band.width());
    painter.drawText(band, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
}

} // namespace qtfront
