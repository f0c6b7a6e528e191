#pragma once
// The binding of the busy animation: a BusyIndicator, spinning while the model's
// animation is active.
//
// Owns the widget. Thread: user-interface thread only.

#include "qt/Binding.h"

namespace ui {
class Animation;
}

namespace qtfront {

class AnimationBinding final : public Binding {
  public:
    AnimationBinding(ui::Animation& animation, BindingHost& host, std::uint64_t serial,
                     QWidget* parent);

  private:
    void applyKind() override;

    ui::Animation& animation_;
};

} // namespace qtfront
