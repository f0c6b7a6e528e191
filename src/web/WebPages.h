#pragma once
// The embedded web pages: the start page in the video area, and the four web tabs
// of the browsing area ("My Web Browser", "Latest Web News", "User Guide" and
// "Zorvex Support"). Each tab loads its page the first time it is chosen while the
// program is online and keeps whatever page the user reaches afterwards. The two
// browsing tabs have their navigation bars, and a page that asks for a new window
// opens in place.
//
// Thread: user-interface thread only. The tab control, the navigation bars and the
// new-window requests of the two browsing views are bound here.

#include <functional>
#include <string>

#include "web/WebAddresses.h"

namespace ui {
class Form;
class PageControl;
class WebView;
} // namespace ui

namespace web {

class WebPages {
  public:
    /// Binds the tab control, both navigation bars and the new-window requests,
    /// and registers the first-visit flags. The tabs load nothing while `isOnline`
    /// says false.
    WebPages(ui::Form& form, Sites sites, std::function<bool()> isOnline);
    WebPages(const WebPages&) = delete;
    WebPages& operator=(const WebPages&) = delete;

    /// The start page of the video area; the window asks for it at every show
    /// while the media worker has not started.
    void showStartPage();

    /// The tab control's tab `index` has just become active.
    void tabActivated(int index);

    /// Whether the web tab at `index` (1, 4, 5 or 6) has been loaded once.
    bool visited(int index) const;

    const Sites& sites() const { return sites_; }

  private:
    void bindNavigationBars();
    void bindNewWindows();
    void registerState() const;
    /// A page in `view` asks for a new window on `url`: the page opens in the view
    /// itself, after the message when `announce` is set, and `cancel` is set. A busy
    /// view leaves the request to the web component.
    void newWindow(ui::WebView& view, const std::string& url, bool announce, bool& cancel);

    ui::Form& form_;
    Sites sites_;
    std::function<bool()> isOnline_;
    ui::PageControl& pages_;
    ui::WebView& start_;
    ui::WebView& browser_;
    ui::WebView& news_;
    ui::WebView& guide_;
    ui::WebView& support_;
    bool browserVisited_ = false;
    bool newsVisited_ = false;
    bool guideVisited_ = false;
    bool supportVisited_ = false;
};

} // namespace web
