#include "qt/EditBinding.h"

#include <QLineEdit>
#include <QSignalBlocker>

#include "qt/BindingHost.h"
#include "qt/Conversions.h"
#include "ui/Application.h"
#include "ui/Widgets.h"

namespace qtfront {

EditBinding::EditBinding(ui::Edit& edit, BindingHost& host, std::uint64_t serial, QWidget* parent)
    : Binding(edit, host, serial), edit_(edit) {
    auto* q = new QLineEdit(parent);
    q->setFrame(true);
    QObject::connect(q, &QLineEdit::textEdited, q, [this, g = guard()](const QString& text) {
        if (g.takesInput())
            this->host().dispatchInput(edit_, textReport(text));
    });
    adopt(q, InputRole::Whole);
}

void EditBinding::replaceTypedKey(const std::string& key) {
    auto* q = static_cast<QLineEdit*>(widget());
    if (!q || q->isReadOnly())
        return;
    {
        const QSignalBlocker quiet(q);
        q->insert(toQString(key));
    }
    host().dispatch(textReport(q->text()));
}

std::function<void()> EditBinding::textReport(const QString& text) const {
    ui::Edit& edit = edit_;
    ui::Application& app = host().application();
    return [&edit, &app, t = toStdString(text)] {
        edit.setText(t);
        ui::EventArgs args;
        app.deliver(edit, ui::Event::Change, args);
    };
}

void EditBinding::applyKind() {
    auto* q = static_cast<QLineEdit*>(widget());
    const QString text = toQString(edit_.text());
    // Setting the same text would move the caret the user is typing at.
    if (q->text() != text)
        q->setText(text);
    q->setReadOnly(edit_.readOnly());
    if (edit_.focusRequests() != focusFollowed_) {
        focusFollowed_ = edit_.focusRequests();
        q->activateWindow();
        q->setFocus(Qt::ShortcutFocusReason);
    }
}

} // namespace qtfront
