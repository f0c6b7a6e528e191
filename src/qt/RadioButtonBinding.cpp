#include "qt/RadioButtonBinding.h"

#include <QRadioButton>

#include "qt/BindingHost.h"
#include "qt/Conversions.h"
#include "ui/Widgets.h"

namespace qtfront {

RadioButtonBinding::RadioButtonBinding(ui::RadioButton& radio, BindingHost& host,
                                       std::uint64_t serial, QWidget* parent)
    : Binding(radio, host, serial), radio_(radio) {
    auto* q = new QRadioButton(parent);
    // The model unchecks the siblings; Qt's own grouping would disagree with it.
    q->setAutoExclusive(false);
    QObject::connect(q, &QRadioButton::clicked, q, [this, g = guard()] {
        if (g.takesInput())
            this->host().deliver(radio_, ui::Event::Click, {});
    });
    adopt(q, InputRole::Whole);
}

void RadioButtonBinding::applyKind() {
    auto* q = static_cast<QRadioButton*>(widget());
    q->setText(toQString(radio_.caption()));
    q->setChecked(radio_.checked());
}

} // namespace qtfront
