#include "qt/PageControlBinding.h"

#include "qt/BindingHost.h"
#include "qt/Conversions.h"
#include "qt/PageControlWidget.h"
#include "ui/PageControl.h"

namespace qtfront {

PageControlBinding::PageControlBinding(ui::PageControl& pages, BindingHost& host,
                                       std::uint64_t serial, QWidget* parent)
    : Binding(pages, host, serial), pages_(pages) {
    auto* q = new PageControlWidget(parent);
    QObject::connect(q, &PageControlWidget::tabChosen, q, [this, g = guard()](int index) {
        if (!g.takesInput())
            return;
        ui::EventArgs args;
        args.index = index;
        this->host().deliver(pages_, ui::Event::TabActive, args);
    });
    q->tabBar()->setMouseTracking(true);
    watch(q->tabBar(), InputRole::Pointer);
    adopt(q, InputRole::Whole);
}

void PageControlBinding::refreshTabs() {
    auto* q = static_cast<PageControlWidget*>(widget());
    if (!q)
        return;
    std::vector<PageControlWidget::Tab> tabs;
    for (int i = 0; i < pages_.pageCount(); ++i)
        tabs.push_back({toQString(pages_.page(i).caption()), pages_.page(i).tabVisible()});
    q->setTabs(tabs, pages_.activeIndex());
}

void PageControlBinding::applyKind() {
    static_cast<PageControlWidget*>(widget())->setTabsAtBottom(pages_.tabsAtBottom());
    refreshTabs();
}

void PageControlBinding::stack(const std::vector<Binding*>& children) {
    Binding::stack(children);
    if (auto* q = static_cast<PageControlWidget*>(widget()))
        q->tabBar()->raise();
}

} // namespace qtfront
