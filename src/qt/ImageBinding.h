#pragma once
// The binding of an image control: a PictureWidget showing the control's picture,
// converted for Qt only when the picture is another one. The widget glides by a
// pointer's hover step.
//
// Owns the widget and the converted picture. Thread: user-interface thread only.

#include "qt/Binding.h"
#include "qt/ConvertedPicture.h"

namespace ui {
class Image;
}

namespace qtfront {

class ImageBinding final : public Binding {
  public:
    ImageBinding(ui::Image& image, BindingHost& host, std::uint64_t serial, QWidget* parent);

  private:
    void place(const QRect& area) override;
    void applyKind() override;

    ui::Image& image_;
    ConvertedPicture picture_;
};

} // namespace qtfront
