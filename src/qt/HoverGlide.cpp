#include "qt/HoverGlide.h"

#include <QPropertyAnimation>
#include <QVariant>
#include <QWidget>

#include <cstdlib>

namespace qtfront {

void glideTo(QWidget& w, const QRect& target, bool hoverKind) {
    const QVariant pending = w.property("zorvexTarget");
    if (pending.isValid() && pending.toRect() == target)
        return; // already gliding there
    if (w.geometry() == target)
        return;
    auto* running =
        w.findChild<QPropertyAnimation*>(QStringLiteral("zorvexGlide"), Qt::FindDirectChildrenOnly);
    if (running)
        running->stop();
    const QRect from = w.geometry();
    const bool hoverStep =
        hoverKind && w.isVisible() && std::abs(from.width() - target.width()) <= 20 &&
        std::abs(from.height() - target.height()) <= 20 && from.size() != target.size();
    if (!hoverStep) {
        w.setProperty("zorvexTarget", QVariant());
        w.setGeometry(target);
        return;
    }
    auto* glide = running;
    if (!glide) {
        glide = new QPropertyAnimation(&w, "geometry", &w);
        glide->setObjectName(QStringLiteral("zorvexGlide"));
        QObject::connect(glide, &QPropertyAnimation::finished, &w,
                         [&w] { w.setProperty("zorvexTarget", QVariant()); });
    }
    glide->setDuration(90);
    glide->setEasingCurve(QEasingCurve::OutCubic);
    glide->setStartValue(from);
    glide->setEndValue(target);
    w.setProperty("zorvexTarget", target);
    glide->start();
}

} // namespace qtfront
