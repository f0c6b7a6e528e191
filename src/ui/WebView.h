#pragma once
// An embedded web page. The model keeps the address and the history; the front end
// loads the pages and reports navigation the user made inside the page.
//
// Thread: user-interface thread only.

#include <functional>
#include <string>
#include <vector>

#include "ui/Control.h"

namespace ui {

class WebView : public Control {
  public:
    WebView(std::string name, Control* parent) : Control(Kind::WebView, std::move(name), parent) {}

    const std::string& url() const { return url_; }
    void navigate(std::string url);
    void back();
    void forward();
    void refresh();
    void stop();
    void setFocus();
    bool busy() const { return busy_; }
    const std::vector<std::string>& history() const { return history_; }
    /// Counts every load the front end is asked to do (navigate and refresh).
    int loads() const { return loads_; }
    /// Counts the focus requests, so the front end can tell one from other changes.
    int focusRequests() const { return focusRequests_; }

    /// The front end reports a page the user reached inside the view, or the end of a load.
    void reportNavigated(std::string url);
    void reportBusy(bool busy);
    /// A page asks for a new window; the handler may cancel it.
    std::function<void(const std::string& url, bool& cancel)> onNewWindow;
    /// Delivers a new-window request; returns true when the page may open it.
    bool requestNewWindow(const std::string& url);

  private:
    std::string url_;
    std::vector<std::string> history_;
    int position_ = -1;
    int loads_ = 0;
    int focusRequests_ = 0;
    bool busy_ = false;
};

} // namespace ui
