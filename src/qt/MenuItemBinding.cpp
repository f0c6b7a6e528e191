#include "qt/MenuItemBinding.h"

#include <QAction>
#include <QMenu>

#include "qt/BindingHost.h"
#include "qt/Conversions.h"
#include "ui/Menu.h"

namespace qtfront {

MenuItemBinding::MenuItemBinding(ui::MenuItem& item, BindingHost& host, std::uint64_t serial,
                                 Binding* owner)
    : Binding(item, host, serial), item_(item) {
    QWidget* list = owner ? owner->itemHost() : nullptr;
    if (!list)
        return;
    auto* action = new QAction(list);
    action->setObjectName(toObjectName(item));
    action_ = action;
    own(action);
    QObject::connect(action, &QAction::triggered, action, [this, g = guard()] {
        if (g.alive())
            this->host().deliver(item_, ui::Event::Click, {});
    });
}

QWidget* MenuItemBinding::itemHost() {
    if (!subMenu_ && action_) {
        // The item gets its sub-menu with its first sub-item.
        auto* sub = new QMenu(qobject_cast<QWidget*>(action_->parent()));
        sub->setObjectName(toObjectName(item_) + QStringLiteral("Menu"));
        action_->setMenu(sub);
        subMenu_ = sub;
        own(sub);
    }
    return subMenu_.data();
}

QAction* MenuItemBinding::action() const {
    return action_.data();
}

QMenu* MenuItemBinding::menu() const {
    return subMenu_.data();
}

void MenuItemBinding::applyCommon() {
    QAction* action = action_;
    if (!action)
        return;
    const bool separator = item_.caption() == "-";
    action->setSeparator(separator);
    // A key shows in the menu's shortcut column; the window, not the menu, takes it.
    QString text = toQString(item_.caption());
    if (!item_.keyHint().empty())
        text += QLatin1Char('\t') + toQString(item_.keyHint());
    if (!separator && action->text() != text)
        action->setText(text);
    action->setVisible(item_.visible());
    action->setEnabled(item_.enabled());
    // Checking is the handler's business; the mark only shows what the model holds.
    action->setCheckable(item_.checked());
    action->setChecked(item_.checked());
    action->setToolTip(toQString(item_.hint()));
}

void MenuItemBinding::stack(const std::vector<Binding*>& children) {
    if (subMenu_)
        listItems(*subMenu_, children);
}

} // namespace qtfront
