#pragma once
// A picture of the model as Qt shows it, converted again only when the picture is
// another one: its revision tells. Changing a control's bounds, caption or hint, or
// giving it a copy of the picture it shows, converts nothing.
//
// Owns the converted image (shared, as QImage is, with the widgets showing it).
// Thread: user-interface thread only.

#include <QImage>

#include <cstdint>

namespace ui {
class Picture;
}

namespace qtfront {

class ConvertedPicture {
  public:
    /// Converts `picture` when its revision differs from the one converted last;
    /// nullptr and an empty picture give a null image. Returns true when the image
    /// changed.
    bool update(const ui::Picture* picture);
    const QImage& image() const { return image_; }

  private:
    std::uint64_t revision_ = 0;
    QImage image_;
};

} // namespace qtfront
