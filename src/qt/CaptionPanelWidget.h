#pragma once
// A titled panel that collapses to its title bar. The model decides the height (it
// shrinks the panel when pushed); this widget draws the title bar and the frame.
//
// Thread: user-interface thread only.

#include <QColor>
#include <QFrame>
#include <QString>

namespace qtfront {

class CaptionPanelWidget : public QFrame {
    Q_OBJECT
    /// Skins set the title bar's colours ("qproperty-titleTop" and so on).
    Q_PROPERTY(QColor titleTop READ titleTop WRITE setTitleTop)
    Q_PROPERTY(QColor titleBottom READ titleBottom WRITE setTitleBottom)
    Q_PROPERTY(QColor titleText READ titleText WRITE setTitleText)
  public:
    explicit CaptionPanelWidget(QWidget* parent);

    void setCaption(const QString& caption);
    void setTitleHeight(int px);
    int titleHeight() const { return titleHeight_; }

    QColor titleTop() const { return titleTop_; }
    void setTitleTop(const QColor& c);
    QColor titleBottom() const { return titleBottom_; }
    void setTitleBottom(const QColor& c);
    QColor titleText() const { return titleText_; }
    void setTitleText(const QColor& c);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString caption_;
    int titleHeight_ = 20;
    QColor titleTop_{70, 78, 88};
    QColor titleBottom_{36, 40, 46};
    QColor titleText_{235, 238, 242};
};

} // namespace qtfront
