#include "qt/PanelBinding.h"

#include "qt/Conversions.h"
#include "qt/PanelWidget.h"
#include "ui/Widgets.h"

namespace qtfront {

PanelBinding::PanelBinding(ui::Panel& panel, BindingHost& host, std::uint64_t serial,
                           QWidget* parent)
    : Binding(panel, host, serial) {
    adopt(new PanelWidget(parent), InputRole::Whole);
}

void PanelBinding::applyKind() {
    static_cast<PanelWidget*>(widget())->setCaption(toQString(control().caption()));
}

} // namespace qtfront
