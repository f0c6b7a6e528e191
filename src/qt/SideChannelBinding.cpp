#include "qt/SideChannelBinding.h"

#include "qt/BindingHost.h"
#include "qt/Conversions.h"
#include "qt/SideChannelWidget.h"
#include "ui/Widgets.h"

namespace qtfront {

SideChannelBinding::SideChannelBinding(ui::SideChannel& side, BindingHost& host,
                                       std::uint64_t serial, QWidget* parent)
    : Binding(side, host, serial), side_(side) {
    auto* q = new SideChannelWidget(parent);
    QObject::connect(q, &SideChannelWidget::stripReached, q, [this, g = guard()] {
        if (g.takesInput())
            this->host().deliver(side_, ui::Event::Pop, {});
    });
    // Sliding back in is the bar's own behaviour once the pointer has gone.
    QObject::connect(q, &SideChannelWidget::pointerGone, q, [this, g = guard()] {
        if (!g.takesInput())
            return;
        ui::SideChannel& side = side_;
        this->host().dispatch([&side] { side.push(); });
    });
    setContainer(q->body());
    adopt(q, InputRole::Whole);
}

// The bar docks at its parent's right edge; the model gives its top, width and height.
void SideChannelBinding::place(const QRect& area) {
    static_cast<SideChannelWidget*>(widget())->setPanel(area.top(), area.width(), area.height());
}

void SideChannelBinding::applyKind() {
    auto* q = static_cast<SideChannelWidget*>(widget());
    q->setCaption(toQString(side_.caption()));
    q->setPopped(side_.popped(), true);
}

} // namespace qtfront
