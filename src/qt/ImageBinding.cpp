#include "qt/ImageBinding.h"

#include "qt/HoverGlide.h"
#include "qt/PictureWidget.h"
#include "ui/Image.h"

namespace qtfront {

ImageBinding::ImageBinding(ui::Image& image, BindingHost& host, std::uint64_t serial,
                           QWidget* parent)
    : Binding(image, host, serial), image_(image) {
    adopt(new PictureWidget(parent), InputRole::Whole);
}

void ImageBinding::place(const QRect& area) {
    glideTo(*widget(), area, true);
}

void ImageBinding::applyKind() {
    auto* q = static_cast<PictureWidget*>(widget());
    if (picture_.update(image_.picture().get()))
        q->setImage(picture_.image());
    q->setStretch(image_.stretch());
}

} // namespace qtfront
