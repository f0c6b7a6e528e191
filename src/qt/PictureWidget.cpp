#include "qt/PictureWidget.h"

#include <QPainter>

namespace qtfront {

PictureWidget::PictureWidget(QWidget* parent) : QFrame(parent) {}

void PictureWidget::setImage(QImage image) {
    image_ = std::move(image);
    update();
}

void PictureWidget::setStretch(bool on) {
    if (stretch_ != on) {
        stretch_ = on;
        update();
    }
}

void PictureWidget::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (image_.isNull())
        return;
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.setClipRect(area);
    if (stretch_) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(area, image_);
    } else {
        painter.drawImage(area.topLeft(), image_);
    }
}

} // namespace qtfront
