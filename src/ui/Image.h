#pragma once
// An image control showing a picture, stretched to the control or at its own size.
//
// Thread: user-interface thread only.

#include "ui/Control.h"
#include "ui/Picture.h"

namespace ui {

class Image : public Control {
  public:
    Image(std::string name, Control* parent);

    /// The picture shown. The reference is shared with whoever keeps it (the
    /// current item): loading a new picture replaces the object's contents, so those
    /// references see the new picture too.
    const PictureRef& picture() const { return picture_; }
    /// Decodes a JPEG file into the shown picture. While the control stretches its
    /// picture, the picture is decoded at 1/2, 1/4 or 1/8 of its size when that
    /// still covers the control's current size. Throws PictureError naming the file;
    /// the shown picture is then unchanged.
    void loadFromFile(const std::string& path);
    void setPicture(const Picture& p);
    void clearPicture();

    bool stretch() const { return stretch_; }
    void setStretch(bool on);

  private:
    PictureRef picture_;
    bool stretch_ = false;
};

} // namespace ui
