#include "qt/CaptionPanelBinding.h"

#include "qt/CaptionPanelWidget.h"
#include "qt/Conversions.h"
#include "qt/HoverGlide.h"
#include "ui/Widgets.h"

namespace qtfront {

CaptionPanelBinding::CaptionPanelBinding(ui::CaptionPanel& panel, BindingHost& host,
                                         std::uint64_t serial, QWidget* parent)
    : Binding(panel, host, serial), panel_(panel) {
    adopt(new CaptionPanelWidget(parent), InputRole::Whole);
}

void CaptionPanelBinding::place(const QRect& area) {
    glideTo(*widget(), area, true);
}

void CaptionPanelBinding::applyKind() {
    auto* q = static_cast<CaptionPanelWidget*>(widget());
    q->setCaption(toQString(panel_.caption()));
    q->setTitleHeight(panel_.titleHeight());
}

} // namespace qtfront
