#pragma once
// A panel: a plain surface whose skin draws its background and border. A panel
// with a caption shows it as a title across its top, as the skinned panels of the
// designed windows do (the window's title frame, the "CATEGORIES" panel).
//
// Thread: user-interface thread only.

#include <QFrame>
#include <QString>

namespace qtfront {

class PanelWidget : public QFrame {
    Q_OBJECT
  public:
    explicit PanelWidget(QWidget* parent);

    void setCaption(const QString& caption);
    const QString& caption() const { return caption_; }

    /// Height of the band the caption is drawn in.
    static constexpr int kTitleHeight = 22;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString caption_;
};

} // namespace qtfront
