#include "ui/PageControl.h"

#include <stdexcept>

namespace ui {

void TabSheet::setTabVisible(bool on) {
    if (tabVisible_ != on) {
        tabVisible_ = on;
        changed();
    }
}

TabSheet& PageControl::addPage(std::string name, std::string caption) {
    auto& sheet = add<TabSheet>(std::move(name));
    sheet.setCaption(std::move(caption));
    sheet.setBounds(0, 0, width(), height());
    pages_.push_back(&sheet);
    if (active_ < 0)
        setActiveIndex(0);
    else
        sheet.hide();
    return sheet;
}

TabSheet& PageControl::page(int index) const {
    if (index < 0 || index >= pageCount())
        throw std::out_of_range(name() + " has no page " + std::to_string(index));
    return *pages_[static_cast<std::size_t>(index)];
}

int PageControl::indexOf(const TabSheet& sheet) const {
    for (int i = 0; i < pageCount(); ++i)
        if (pages_[static_cast<std::size_t>(i)] == &sheet)
            return i;
    return -1;
}

void PageControl::setActiveIndex(int index) {
    if (index < 0 || index >= pageCount() || index == active_)
        return;
    active_ = index;
    for (int i = 0; i < pageCount(); ++i)
        pages_[static_cast<std::size_t>(i)]->setVisible(i == index);
    changed();
}

void PageControl::setTabsAtBottom(bool on) {
    if (tabsAtBottom_ != on) {
        tabsAtBottom_ = on;
        changed();
    }
}

TabSheet* PageControl::activePage() const {
    return active_ < 0 ? nullptr : pages_[static_cast<std::size_t>(active_)];
}

bool PageControl::deliver(Event event, EventArgs& args) {
    if (event == Event::TabActive) {
        if (args.index < 0 || args.index >= pageCount())
            throw std::out_of_range(name() + " has no page " + std::to_string(args.index));
        if (enabled() && showing()) {
            setActiveIndex(args.index);
            if (onTabActive)
                onTabActive(args.index);
        }
        return true;
    }
    return Control::deliver(event, args);
}

void PageControl::activatePage(int index) {
    setActiveIndex(index);
    if (activeIndex() == index && onTabActive)
        onTabActive(index);
}

} // namespace ui
