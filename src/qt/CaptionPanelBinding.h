#pragma once
// The binding of a caption panel: a CaptionPanelWidget with the caption in its
// title bar. The model decides the height; the widget glides by a hover step.
//
// Owns the widget. Thread: user-interface thread only.

#include "qt/Binding.h"

namespace ui {
class CaptionPanel;
}

namespace qtfront {

class CaptionPanelBinding final : public Binding {
  public:
    CaptionPanelBinding(ui::CaptionPanel& panel, BindingHost& host, std::uint64_t serial,
                        QWidget* parent);

  private:
    void place(const QRect& area) override;
    void applyKind() override;

    ui::CaptionPanel& panel_;
};

} // namespace qtfront
