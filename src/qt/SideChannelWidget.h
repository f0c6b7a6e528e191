#pragma once
// A side bar docked at its parent's right edge. Pushed in, only a narrow strip with
// its caption shows; when the pointer reaches the strip it asks to slide out
// (stripReached), and once out it slides in again shortly after the pointer has
// left it (pointerGone). Whether it is out is the model's decision: setPopped
// follows it, sliding the bar with an animation of its geometry.
//
// Owns its strip, its body (where the model's children go), the slide animation
// and the leave timer. Thread: user-interface thread only.

#include <QFrame>
#include <QPropertyAnimation>
#include <QString>
#include <QTimer>

namespace qtfront {

class SideChannelWidget : public QFrame {
    Q_OBJECT
  public:
    explicit SideChannelWidget(QWidget* parent);

    /// Where the controls of the side channel are placed.
    QWidget* body() const { return body_; }
    /// The strip shown while the bar is pushed in.
    QWidget* strip() const { return strip_; }

    void setCaption(const QString& caption);
    /// The bar's top, width and height inside its parent, which it is docked to.
    void setPanel(int top, int width, int height);
    bool popped() const { return popped_; }
    /// Slides out or in; `animate` false moves at once.
    void setPopped(bool popped, bool animate);

    static constexpr int kStripWidth = 22;

  signals:
    /// The pointer reached the strip of the pushed-in bar.
    void stripReached();
    /// The pointer left the slid-out bar and did not come back.
    void pointerGone();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    QRect dockedRect(bool out) const;
    void redock(bool animate);
    void checkPointer();

    QWidget* body_;
    QFrame* strip_;
    QPropertyAnimation slide_;
    QTimer leaveCheck_;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
    bool popped_ = false;
};

} // namespace qtfront
