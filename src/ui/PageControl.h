#pragma once
// A page control and its tab sheets: one sheet shown at a time.
//
// Thread: user-interface thread only.

#include <functional>

#include "ui/Control.h"

namespace ui {

class TabSheet : public Control {
  public:
    TabSheet(std::string name, Control* parent)
        : Control(Kind::TabSheet, std::move(name), parent) {}
    bool tabVisible() const { return tabVisible_; }
    void setTabVisible(bool on);

  private:
    bool tabVisible_ = true;
};

class PageControl : public Control {
  public:
    PageControl(std::string name, Control* parent)
        : Control(Kind::PageControl, std::move(name), parent) {}
    /// Adds a sheet at the next page index.
    TabSheet& addPage(std::string name, std::string caption);
    int pageCount() const { return static_cast<int>(pages_.size()); }
    TabSheet& page(int index) const;
    int indexOf(const TabSheet& sheet) const;

    /// -1 when there are no pages.
    int activeIndex() const { return active_; }
    /// Switches the shown sheet without running handlers. Out-of-range indexes are ignored.
    void setActiveIndex(int index);
    TabSheet* activePage() const;
    /// Switches to tab `index` and runs onTabActive, as the toolkit does when code
    /// changes the active page. Out-of-range indexes change nothing.
    void activatePage(int index);

    /// Whether the tabs sit below the sheets instead of above them.
    bool tabsAtBottom() const { return tabsAtBottom_; }
    void setTabsAtBottom(bool on);

    /// The user chose tab `index` (after the switch).
    std::function<void(int index)> onTabActive;
    bool deliver(Event event, EventArgs& args) override;
    bool takes(Event event) const override {
        return event == Event::TabActive || Control::takes(event);
    }

  private:
    std::vector<TabSheet*> pages_;
    int active_ = -1;
    bool tabsAtBottom_ = false;
};

} // namespace ui
