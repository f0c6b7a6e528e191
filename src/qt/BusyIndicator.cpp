#include "qt/BusyIndicator.h"

#include <QConicalGradient>
#include <QPainter>
#include <QPen>

#include <algorithm>

namespace qtfront {

namespace {
constexpr int kFrameMs = 40;
constexpr int kStepDegrees = 24;
} // namespace

BusyIndicator::BusyIndicator(QWidget* parent) : QFrame(parent) {
    frames_.setInterval(kFrameMs);
    connect(&frames_, &QTimer::timeout, this, [this] {
        angle_ = (angle_ + kStepDegrees) % 360;
        update();
    });
}

void BusyIndicator::setActive(bool on) {
    if (active_ == on)
        return;
    active_ = on;
    updateTimer();
    update();
}

void BusyIndicator::setArcColor(const QColor& c) {
    arcColor_ = c;
    update();
}

void BusyIndicator::updateTimer() {
    if (active_ && isVisible())
        frames_.start();
    else
        frames_.stop();
}

void BusyIndicator::showEvent(QShowEvent* event) {
    QFrame::showEvent(event);
    updateTimer();
}

void BusyIndicator::hideEvent(QHideEvent* event) {
    QFrame::hideEvent(event);
    updateTimer();
}

void BusyIndicator::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect area = contentsRect();
    const int side = std::min(area.width(), area.height());
    if (side < 6)
        return;
    const int pen = std::max(2, side / 7);
    QRectF ring(0, 0, side - pen, side - pen);
    ring.moveCenter(QRectF(area).center());

    QColor track = arcColor_;
    track.setAlpha(active_ ? 50 : 70);
    painter.setPen(QPen(track, pen, Qt::SolidLine, Qt::RoundCap));
    painter.drawEllipse(ring);
    if (!active_)
        return;

    // A comet-like arc whose tail fades out, turning clockwise.
    QConicalGradient tail(ring.center(), -angle_);
    QColor head = arcColor_;
    QColor clear = arcColor_;
    clear.setAlpha(0);
    tail.setColorAt(0.0, head);
    tail.setColorAt(0.75, clear);
    tail.setColorAt(1.0, clear);
    painter.setPen(QPen(QBrush(tail), pen, Qt::SolidLine, Qt::RoundCap));
    painter.drawArc(ring, -angle_ * 16, 270 * 16);
}

} // namespace qtfront
