#include "qt/ButtonBinding.h"

#include <QIcon>
#include <QPixmap>
#include <QPushButton>

#include "qt/BindingHost.h"
#include "qt/Conversions.h"
#include "ui/Widgets.h"

namespace qtfront {

ButtonBinding::ButtonBinding(ui::Button& button, BindingHost& host, std::uint64_t serial,
                             QWidget* parent)
    : Binding(button, host, serial), button_(button) {
    auto* q = new QPushButton(parent);
    q->setAutoDefault(false);
    QObject::connect(q, &QPushButton::clicked, q, [this, g = guard()] {
        if (g.takesInput())
            this->host().deliver(button_, ui::Event::Click, {});
    });
    adopt(q, InputRole::Whole);
}

void ButtonBinding::applyKind() {
    auto* q = static_cast<QPushButton*>(widget());
    const QString text = toQString(button_.caption());
    if (q->text() != text)
        q->setText(text);
    if (glyph_.update(button_.glyph().get()))
        q->setIcon(glyph_.image().isNull() ? QIcon() : QIcon(QPixmap::fromImage(glyph_.image())));
    if (!glyph_.image().isNull())
        q->setIconSize(glyph_.image().size().boundedTo(QSize(button_.width(), button_.height()) -
                                                       QSize(6, 6)));
}

} // namespace qtfront
