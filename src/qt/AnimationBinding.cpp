#include "qt/AnimationBinding.h"

#include "qt/BusyIndicator.h"
#include "ui/Widgets.h"

namespace qtfront {

AnimationBinding::AnimationBinding(ui::Animation& animation, BindingHost& host,
                                   std::uint64_t serial, QWidget* parent)
    : Binding(animation, host, serial), animation_(animation) {
    adopt(new BusyIndicator(parent), InputRole::Whole);
}

void AnimationBinding::applyKind() {
    static_cast<BusyIndicator*>(widget())->setActive(animation_.active());
}

} // namespace qtfront
