#include "qt/MainMenuBinding.h"

#include <QMenuBar>

#include "qt/Conversions.h"
#include "qt/FormWindow.h"
#include "ui/Menu.h"

namespace qtfront {

MainMenuBinding::MainMenuBinding(ui::Menu& menu, BindingHost& host, std::uint64_t serial,
                                 FormWindow* window)
    : Binding(menu, host, serial), menu_(menu) {
    if (!window)
        return;
    auto* bar = new QMenuBar(window);
    // The bar belongs to the window on every desktop, not to a global menu.
    bar->setNativeMenuBar(false);
    bar->setObjectName(toObjectName(menu));
    bar->setProperty("zkind", QStringLiteral("MainMenu"));
    window->setMenuBar(bar);
    bar_ = bar;
    own(bar);
    setSkinHost(bar);
}

QWidget* MainMenuBinding::itemHost() {
    return bar_.data();
}

void MainMenuBinding::applyKind() {
    if (!bar_)
        return;
    bool anyItem = false;
    for (ui::MenuItem* item : menu_.items())
        anyItem = anyItem || item->visible();
    const bool show = menu_.visible() && anyItem;
    if (bar_->isHidden() == show)
        bar_->setVisible(show);
}

void MainMenuBinding::stack(const std::vector<Binding*>& children) {
    if (bar_)
        listItems(*bar_, children);
}

} // namespace qtfront
