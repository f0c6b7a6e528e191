#include "qt/LabelBinding.h"

#include <QLabel>

#include "qt/Conversions.h"
#include "ui/Widgets.h"

namespace qtfront {

LabelBinding::LabelBinding(ui::Label& label, BindingHost& host, std::uint64_t serial,
                           QWidget* parent)
    : Binding(label, host, serial), label_(label) {
    auto* q = new QLabel(parent);
    // Captions are plain text; a title with '<' in it is not markup.
    q->setTextFormat(Qt::PlainText);
    q->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    adopt(q, InputRole::Whole);
}

void LabelBinding::applyKind() {
    auto* q = static_cast<QLabel*>(widget());
    const QString text = toQString(label_.caption());
    if (q->text() != text)
        q->setText(text);
    q->setWordWrap(label_.wordWrap());
}

} // namespace qtfront
