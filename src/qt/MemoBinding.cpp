#include "qt/MemoBinding.h"

#include <QPlainTextEdit>
#include <QScrollBar>

#include "qt/Conversions.h"
#include "ui/Widgets.h"

namespace qtfront {

MemoBinding::MemoBinding(ui::Memo& memo, BindingHost& host, std::uint64_t serial, QWidget* parent)
    : Binding(memo, host, serial), memo_(memo) {
    auto* q = new QPlainTextEdit(parent);
    q->setReadOnly(true);
    q->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    q->viewport()->setMouseTracking(true);
    watch(q->viewport(), InputRole::Pointer);
    adopt(q, InputRole::Keys);
}

void MemoBinding::applyKind() {
    auto* q = static_cast<QPlainTextEdit*>(widget());
    const QString text = toQString(memo_.text());
    if (q->toPlainText() != text) {
        const bool grew = memo_.lines().size() > shownLines_ && shownLines_ > 0;
        q->setPlainText(text);
        if (grew)
            q->verticalScrollBar()->setValue(q->verticalScrollBar()->maximum());
    }
    shownLines_ = memo_.lines().size();
}

} // namespace qtfront
