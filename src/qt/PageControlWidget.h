#pragma once
// A page control: a tab bar above or below the area its sheets fill. The sheets are
// ordinary child widgets the front end makes; this widget only keeps them in the
// area beside the tabs. Which sheet shows and which tabs are visible is the model's
// business; a tab the user picks is reported through tabChosen.
//
// Owns the tab bar. Thread: user-interface thread only.

#include <QFrame>
#include <QPointer>
#include <QString>
#include <QTabBar>

#include <vector>

namespace qtfront {

class PageControlWidget : public QFrame {
    Q_OBJECT
  public:
    explicit PageControlWidget(QWidget* parent);

    struct Tab {
        QString caption;
        bool visible = true;
    };
    /// Brings the tabs in step; emits nothing.
    void setTabs(const std::vector<Tab>& tabs, int active);
    void setTabsAtBottom(bool on);
    /// Keeps `sheet` (a child of this widget) in the area beside the tabs.
    void addSheet(QWidget* sheet);
    QRect sheetArea() const;
    QTabBar* tabBar() const { return bar_; }
    /// Places the tab bar and the sheets for the current size.
    void relayout();

  signals:
    /// The user picked the tab of page `index`.
    void tabChosen(int index);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QTabBar* bar_;
    std::vector<QPointer<QWidget>> sheets_;
    bool bottom_ = false;
    bool updating_ = false;
};

} // namespace qtfront
