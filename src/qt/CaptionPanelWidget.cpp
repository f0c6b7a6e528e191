#include "qt/CaptionPanelWidget.h"

#include <QLinearGradient>
#include <QPainter>

#include <algorithm>

namespace qtfront {

CaptionPanelWidget::CaptionPanelWidget(QWidget* parent) : QFrame(parent) {}

void CaptionPanelWidget::setCaption(const QString& caption) {
    if (caption_ != caption) {
        caption_ = caption;
        update();
    }
}

void CaptionPanelWidget::setTitleHeight(int px) {
    if (titleHeight_ != px) {
        titleHeight_ = px;
        update();
    }
}

void CaptionPanelWidget::setTitleTop(const QColor& c) {
    titleTop_ = c;
    update();
}

void CaptionPanelWidget::setTitleBottom(const QColor& c) {
    titleBottom_ = c;
    update();
}

void CaptionPanelWidget::setTitleText(const QColor& c) {
    titleText_ = c;
    update();
}

void CaptionPanelWidget::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    QRect bar = rect();
    bar.setHeight(std::min(titleHeight_, bar.height()));
    QLinearGradient shade(bar.topLeft(), bar.bottomLeft());
    shade.setColorAt(0, titleTop_);
    shade.setColorAt(1, titleBottom_);
    painter.fillRect(bar, shade);
    if (caption_.isEmpty())
        return;
    painter.setPen(titleText_);
    const QRect textArea = bar.adjusted(6, 0, -6, 0);
    const QString text = fontMetrics().elidedText(caption_, Qt::ElideRight, textArea.width());
    painter.drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
}

} // namespace qtfront
