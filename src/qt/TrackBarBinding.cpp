#include "qt/TrackBarBinding.h"

#include <QSlider>

#include <algorithm>

#include "qt/BindingHost.h"
#include "ui/Application.h"
#include "ui/Widgets.h"

namespace qtfront {

TrackBarBinding::TrackBarBinding(ui::TrackBar& bar, BindingHost& host, std::uint64_t serial,
                                 QWidget* parent)
    : Binding(bar, host, serial), bar_(bar) {
    auto* q = new QSlider(Qt::Horizontal, parent);
    QObject::connect(q, &QSlider::valueChanged, q, [this, g = guard()](int value) {
        if (!g.takesInput())
            return;
        ui::TrackBar& model = bar_;
        ui::Application& app = this->host().application();
        this->host().dispatchInput(model, [&model, &app, value] {
            model.setPosition(value);
            ui::EventArgs args;
            app.deliver(model, ui::Event::Change, args);
        });
    });
    adopt(q, InputRole::Whole);
}

void TrackBarBinding::applyKind() {
    auto* q = static_cast<QSlider*>(widget());
    q->setOrientation(bar_.height() > bar_.width() ? Qt::Vertical : Qt::Horizontal);
    q->setRange(bar_.min(), bar_.max());
    q->setPageStep(std::max(1, (bar_.max() - bar_.min()) / 10));
    q->setValue(bar_.position());
}

} // namespace qtfront
