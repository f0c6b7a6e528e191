#include "qt/PopupMenuBinding.h"

#include <QMenu>

#include "qt/BindingHost.h"
#include "qt/Conversions.h"
#include "ui/Menu.h"

namespace qtfront {

PopupMenuBinding::PopupMenuBinding(ui::Menu& menu, BindingHost& host, std::uint64_t serial,
                                   QWidget* parent)
    : Binding(menu, host, serial) {
    auto* popup = new QMenu(parent);
    popup->setObjectName(toObjectName(menu));
    menu_ = popup;
    own(popup);
    setSkinHost(popup);
    popupRequest_ = menu.popupRequested.subscribe([this, g = guard()](ui::Menu&, int x, int y) {
        // The handler asking for the menu may have changed its items just before.
        this->host().sync();
        if (g.alive() && menu_)
            menu_->popup(QPoint(x, y));
    });
}

QWidget* PopupMenuBinding::itemHost() {
    return menu_.data();
}

QMenu* PopupMenuBinding::menu() const {
    return menu_.data();
}

void PopupMenuBinding::stack(const std::vector<Binding*>& children) {
    if (menu_)
        listItems(*menu_, children);
}

} // namespace qtfront
