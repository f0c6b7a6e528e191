#include "qt/Binding.h"

#include <QAction>
#include <QWidget>

#include "qt/BindingHost.h"
#include "qt/ControlStyle.h"
#include "qt/Conversions.h"
#include "qt/HoverGlide.h"
#include "ui/Control.h"

namespace qtfront {

bool Binding::Guard::alive() const {
    return host_->alive(control_, serial_);
}

bool Binding::Guard::takesInput() const {
    return !host_->syncing() && alive();
}

Binding::Binding(ui::Control& control, BindingHost& host, std::uint64_t serial)
    : control_(control), host_(host), serial_(serial) {}

Binding::~Binding() {
    for (const auto& object : watched_)
        if (object)
            host_.unwatch(object.data());
    for (const auto& object : owned_) {
        if (!object)
            continue;
        object->disconnect();
        object->blockSignals(true);
        if (auto* w = qobject_cast<QWidget*>(object.data()))
            w->hide();
        object->deleteLater();
    }
}

QWidget* Binding::widget() const {
    return widget_.data();
}

QWidget* Binding::container() const {
    return container_.data();
}

bool Binding::stale() const {
    return stale_ || revision_ != control_.revision();
}

bool Binding::apply(const Skins& skins) {
    const bool skinMoved = skin_ >= 0 && skin_ != control_.skin();
    applyCommon();
    applyKind();
    applyStyle(skins);
    skin_ = control_.skin();
    revision_ = control_.revision();
    stale_ = false;
    return skinMoved;
}

void Binding::restack(const std::vector<Binding*>& children) {
    std::vector<const ui::Control*> order;
    order.reserve(children.size());
    for (const Binding* child : children)
        order.push_back(&child->control());
    if (order == order_)
        return;
    order_ = std::move(order);
    stack(children);
}

void Binding::leftPressAt(QObject*, const QPoint&) {}

void Binding::replaceTypedKey(const std::string&) {}

void Binding::adopt(QWidget* w, InputRole role) {
    w->setObjectName(toObjectName(control_));
    w->setProperty("zkind", toQString(ui::kindName(control_.kind())));
    w->setMouseTracking(true);
    widget_ = w;
    if (!container_)
        container_ = w;
    watch(w, role);
    own(w);
}

void Binding::setContainer(QWidget* w) {
    container_ = w;
}

void Binding::setSkinHost(QWidget* w) {
    skinHost_ = w;
}

void Binding::watch(QObject* object, InputRole role) {
    host_.watch(object, control_, role);
    watched_.emplace_back(object);
}

void Binding::own(QObject* object) {
    owned_.emplace_back(object);
}

void Binding::applyFontAndCursor(QWidget& w) const {
    const QFont font = toQFont(control_.font());
    if (w.font() != font)
        w.setFont(font);
    if (control_.cursor() == ui::Cursor::Default)
        w.unsetCursor();
    else
        w.setCursor(toCursorShape(control_.cursor()));
}

void Binding::listItems(QWidget& host, const std::vector<Binding*>& children) {
    for (QAction* action : host.actions())
        host.removeAction(action);
    for (const Binding* child : children)
        if (QAction* action = child->action())
            host.addAction(action);
}

void Binding::applyCommon() {
    QWidget* w = widget_;
    if (!w)
        return;
    const ui::Bounds& b = control_.bounds();
    place(QRect(b.left, b.top, b.width, b.height));
    if (const bool shown = shownInWindow(); w->isHidden() == shown)
        w->setVisible(shown);
    if (w->isEnabled() != control_.enabled())
        w->setEnabled(control_.enabled());
    QString hint = toQString(control_.hint());
    if (!control_.keyHint().empty()) {
        const QString key = toQString(control_.keyHint());
        hint = hint.isEmpty() ? key : hint + QStringLiteral(" (") + key + QStringLiteral(")");
    }
    if (w->toolTip() != hint)
        w->setToolTip(hint);
    applyFontAndCursor(*w);
}

bool Binding::shownInWindow() const {
    return control_.visible();
}

void Binding::place(const QRect& area) {
    glideTo(*widget_, area, false);
}

void Binding::stack(const std::vector<Binding*>& children) {
    for (const Binding* child : children)
        if (QWidget* w = child->widget())
            w->raise();
}

void Binding::applyStyle(const Skins& skins) {
    QWidget* target = widget_;
    QWidget* host = skinHost_ ? skinHost_.data() : target;
    if (!host)
        return;
    const QString sheet = styleSheetOf(control_, target ? target->objectName() : QString(), skins);
    if (host->styleSheet() != sheet)
        host->setStyleSheet(sheet);
}

} // namespace qtfront
