#include "qt/TabSheetBinding.h"

#include <QFrame>

#include "qt/BindingHost.h"
#include "qt/PageControlBinding.h"
#include "qt/PageControlWidget.h"
#include "ui/PageControl.h"

namespace qtfront {

TabSheetBinding::TabSheetBinding(ui::TabSheet& sheet, BindingHost& host, std::uint64_t serial,
                                 QWidget* parent)
    : Binding(sheet, host, serial) {
    auto* frame = new QFrame(parent);
    if (auto* pages = qobject_cast<PageControlWidget*>(parent))
        pages->addSheet(frame);
    adopt(frame, InputRole::Whole);
}

// Sheets fill the page control beside its tabs.
void TabSheetBinding::place(const QRect&) {}

void TabSheetBinding::applyKind() {
    ui::Control* parent = control().parent();
    if (!parent || parent->kind() != ui::Kind::PageControl)
        return;
    if (auto* pages = dynamic_cast<PageControlBinding*>(host().bindingOf(parent)))
        pages->refreshTabs();
}

} // namespace qtfront
