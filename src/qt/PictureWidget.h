#pragma once
// Shows an image control's picture: stretched over the control, or at its own size
// from the top-left corner and clipped, as the image control asks. A skin may give
// the control a border; the picture stays inside it.
//
// Owns a copy of the pixels it shows. Thread: user-interface thread only.

#include <QFrame>
#include <QImage>

namespace qtfront {

class PictureWidget : public QFrame {
    Q_OBJECT
  public:
    explicit PictureWidget(QWidget* parent);

    void setImage(QImage image);
    const QImage& image() const { return image_; }
    void setStretch(bool on);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage image_;
    bool stretch_ = false;
};

} // namespace qtfront
