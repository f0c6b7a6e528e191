#include "qt/ProgressBarBinding.h"

#include <QProgressBar>

#include "ui/Widgets.h"

namespace qtfront {

ProgressBarBinding::ProgressBarBinding(ui::ProgressBar& bar, BindingHost& host,
                                       std::uint64_t serial, QWidget* parent)
    : Binding(bar, host, serial), bar_(bar) {
    auto* q = new QProgressBar(parent);
    q->setTextVisible(false);
    adopt(q, InputRole::Whole);
}

void ProgressBarBinding::applyKind() {
    auto* q = static_cast<QProgressBar*>(widget());
    q->setRange(bar_.min(), bar_.max());
    q->setValue(bar_.position());
}

} // namespace qtfront
