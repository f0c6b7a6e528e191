#include "qt/SideChannelWidget.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace qtfront {

namespace {

constexpr int kSlideMs = 180;
constexpr int kLeaveDelayMs = 350;

/// The pushed-in bar's face: a chevron pointing out and the caption read downwards.
class Strip : public QFrame {
  public:
    explicit Strip(QWidget* parent) : QFrame(parent) {}
    void setCaption(const QString& caption) {
        caption_ = caption;
        update();
    }

  protected:
    void paintEvent(QPaintEvent* event) override {
        QFrame::paintEvent(event);
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QColor ink = palette().color(QPalette::WindowText);
        const QRect area = contentsRect();
        const qreal mid = area.center().x() + 0.5;

        QPainterPath chevron;
        chevron.moveTo(mid + 3, area.top() + 8);
        chevron.lineTo(mid - 3, area.top() + 13);
        chevron.lineTo(mid + 3, area.top() + 18);
        painter.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(chevron);

        painter.save();
        painter.translate(area.left() + area.width() / 2.0, area.top() + 26);
        painter.rotate(90);
        const int length = std::max(0, area.height() - 32);
        const QRect textArea(0, -area.width() / 2, length, area.width());
        painter.setPen(ink);
        painter.drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         fontMetrics().elidedText(caption_, Qt::ElideRight, length));
        painter.restore();
    }

  private:
    QString caption_;
};

} // namespace

SideChannelWidget::SideChannelWidget(QWidget* parent)
    : QFrame(parent), body_(new QWidget(this)), strip_(new Strip(this)), slide_(this, "geometry") {
    strip_->setProperty("zkind", QStringLiteral("SideChannelStrip"));
    body_->hide();
    slide_.setDuration(kSlideMs);
    slide_.setEasingCurve(QEasingCurve::OutCubic);
    connect(&slide_, &QPropertyAnimation::finished, this, [this] {
        if (!popped_) {
            body_->hide();
            strip_->show();
        }
    });
    leaveCheck_.setSingleShot(true);
    leaveCheck_.setInterval(kLeaveDelayMs);
    connect(&leaveCheck_, &QTimer::timeout, this, &SideChannelWidget::checkPointer);
    if (parent)
        parent->installEventFilter(this);
}

void SideChannelWidget::setCaption(const QString& caption) {
    static_cast<Strip*>(strip_)->setCaption(caption);
}

void SideChannelWidget::setPanel(int top, int width, int height) {
    if (top == top_ && width == width_ && height == height_)
        return;
    top_ = top;
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    body_->setGeometry(0, 0, width_, height_);
    strip_->setGeometry(0, 0, kStripWidth, height_);
    redock(false);
}

void SideChannelWidget::setPopped(bool popped, bool animate) {
    if (popped == popped_)
        return;
    popped_ = popped;
    if (popped_) {
        strip_->hide();
        body_->show();
    }
    redock(animate && isVisible());
}

QRect SideChannelWidget::dockedRect(bool out) const {
    const int parentWidth = parentWidget() ? parentWidget()->width() : width_;
    const int shown = out ? width_ : std::min(kStripWidth, width_);
    return {parentWidth - shown, top_, shown, height_};
}

void SideChannelWidget::redock(bool animate) {
    const QRect target = dockedRect(popped_);
    slide_.stop();
    if (animate && geometry() != target) {
        slide_.setStartValue(geometry());
        slide_.setEndValue(target);
        slide_.start();
        return;
    }
    setGeometry(target);
    if (!popped_) {
        body_->hide();
        strip_->show();
    }
}

void SideChannelWidget::checkPointer() {
    if (!popped_)
        return;
    if (QApplication::activePopupWidget()) {
        // A menu of the bar is open: wait for it to close.
        leaveCheck_.start();
        return;
    }
    if (!rect().contains(mapFromGlobal(QCursor::pos())))
        emit pointerGone();
}

bool SideChannelWidget::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize &&
        slide_.state() != QAbstractAnimation::Running)
        redock(false);
    return QFrame::eventFilter(watched, event);
}

void SideChannelWidget::enterEvent(QEnterEvent* event) {
    QFrame::enterEvent(event);
    leaveCheck_.stop();
    if (!popped_)
        emit stripReached();
}

void SideChannelWidget::leaveEvent(QEvent* event) {
    QFrame::leaveEvent(event);
    if (popped_)
        leaveCheck_.start();
}

void SideChannelWidget::showEvent(QShowEvent* event) {
    QFrame::showEvent(event);
    if (slide_.state() != QAbstractAnimation::Running)
        redock(false);
}

} // namespace qtfront
