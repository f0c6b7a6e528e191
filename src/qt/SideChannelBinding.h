#pragma once
// The binding of a side channel: a SideChannelWidget docked at its parent's right
// edge, its children on the widget's body. The pointer reaching the strip is the
// model's Pop; the pointer gone from the slid-out bar pushes it back in. The widget
// slides as the model pops and pushes.
//
// Owns the widget. Thread: user-interface thread only.

#include "qt/Binding.h"

namespace ui {
class SideChannel;
}

namespace qtfront {

class SideChannelBinding final : public Binding {
  public:
    SideChannelBinding(ui::SideChannel& side, BindingHost& host, std::uint64_t serial,
                       QWidget* parent);

  private:
    void place(const QRect& area) override;
    void applyKind() override;

    ui::SideChannel& side_;
};

} // namespace qtfront
