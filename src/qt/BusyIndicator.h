#pragma once
// The busy animation: a spinning arc while active, a faint ring while idle. It stands
// in for the clip the animation control names, which this front end does not play.
//
// Owns its frame timer, which runs only while active and shown. Thread:
// user-interface thread only.

#include <QColor>
#include <QFrame>
#include <QTimer>

namespace qtfront {

class BusyIndicator : public QFrame {
    Q_OBJECT
    /// Skins set the arc's colour with "qproperty-arcColor".
    Q_PROPERTY(QColor arcColor READ arcColor WRITE setArcColor)
  public:
    explicit BusyIndicator(QWidget* parent);

    bool active() const { return active_; }
    void setActive(bool on);
    QColor arcColor() const { return arcColor_; }
    void setArcColor(const QColor& c);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void updateTimer();

    QTimer frames_;
    bool active_ = false;
    int angle_ = 0;
    QColor arcColor_{46, 150, 170};
};

} // namespace qtfront
