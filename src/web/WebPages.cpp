#include "web/WebPages.h"

#include <nlohmann/json.hpp>

#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Menu.h"
#include "ui/PageControl.h"
#include "ui/WebView.h"
#include "ui/Widgets.h"

namespace web {

namespace {

constexpr int kBrowserTab = 1;
constexpr int kNewsTab = 4;
constexpr int kGuideTab = 5;
constexpr int kSupportTab = 6;

} // namespace

WebPages::WebPages(ui::Form& form, Sites sites, std::function<bool()> isOnline)
    : form_(form), sites_(std::move(sites)), isOnline_(std::move(isOnline)),
      pages_(form.get<ui::PageControl>("suiPageControl1")),
      start_(form.get<ui::WebView>("MozillaBrowser3")),
      browser_(form.get<ui::WebView>("MozillaBrowser1")),
      news_(form.get<ui::WebView>("MozillaBrowser4")),
      guide_(form.get<ui::WebView>("MozillaBrowser5")),
      support_(form.get<ui::WebView>("MozillaBrowser6")) {
    // suiPageControl1TabActive
    pages_.onTabActive = [this](int index) { tabActivated(index); };
    bindNavigationBars();
    bindNewWindows();
    registerState();
}

void WebPages::showStartPage() {
    start_.navigate(startPage(sites_));
}

void WebPages::tabActivated(int index) {
    if (!isOnline_())
        return;
    auto& kinds = form_.get<ui::Menu>("searchtypepopup");
    for (const char* sheet : {"suiTabSheet8", "suiTabSheet9", "suiTabSheet4", "suiTabSheet2"})
        form_.get<ui::TabSheet>(sheet).setPopupMenu(&kinds);
    // The news tab has no menu of the page control; every other tab has the video menu.
    pages_.setPopupMenu(index == kNewsTab ? nullptr : &form_.get<ui::Menu>("videopopup"));

    switch (index) {
    case kNewsTab:
        if (!newsVisited_) {
            newsVisited_ = true;
            news_.navigate(newsPage(sites_));
        }
        break;
    case kBrowserTab:
        if (!browserVisited_) {
            browserVisited_ = true;
            browser_.navigate(productRoot(sites_));
        }
        break;
    case kGuideTab:
        if (!guideVisited_) {
            guideVisited_ = true;
            guide_.stop();
            guide_.navigate(userGuidePage(sites_));
        }
        break;
    case kSupportTab:
        if (!supportVisited_) {
            supportVisited_ = true;
            support_.setFocus();
            support_.navigate(supportPage(sites_));
        }
        break;
    default:
        break;
    }
}

bool WebPages::visited(int index) const {
    switch (index) {
    case kBrowserTab:
        return browserVisited_;
    case kNewsTab:
        return newsVisited_;
    case kGuideTab:
        return guideVisited_;
    case kSupportTab:
        return supportVisited_;
    default:
        return false;
    }
}

void WebPages::bindNavigationBars() {
    // "My Web Browser": the address box goes on Enter and with "Go Navigate".
    auto& address = form_.get<ui::Edit>("webnavbox");
    auto goToAddress = [this, &address] { browser_.navigate(address.text()); };
    // webnavboxKeyPress
    address.onKeyPress = [goToAddress](std::string& key) {
        if (key == "\r")
            goToAddress();
    };
    // suiImageButton22Click
    form_.get<ui::Button>("suiImageButton22").onClick = goToAddress;
    // suiImageButton19Click: "Home Page" is the news page.
    form_.get<ui::Button>("suiImageButton19").onClick = [this] {
        browser_.navigate(newsPage(sites_));
    };
    // suiImageButton20Click, suiImageButton21Click, suiImageButton23Click
    form_.get<ui::Button>("suiImageButton20").onClick = [this] { browser_.back(); };
    form_.get<ui::Button>("suiImageButton21").onClick = [this] { browser_.forward(); };
    form_.get<ui::Button>("suiImageButton23").onClick = [this] { browser_.refresh(); };
    // suiButton22Click: "Show Video Libary" goes to "All Videos".
    form_.get<ui::Button>("suiButton22").onClick = [this] { pages_.activatePage(0); };

    // "Latest Web News".
    auto& url = form_.get<ui::Edit>("newsbarurl");
    auto goToUrl = [this, &url] { news_.navigate(url.text()); };
    // newsbarurlKeyPress
    url.onKeyPress = [goToUrl](std::string& key) {
        if (key == "\r")
            goToUrl();
    };
    // suiImageButton18Click
    form_.get<ui::Button>("suiImageButton18").onClick = goToUrl;
    // suiImageButton15Click
    form_.get<ui::Button>("suiImageButton15").onClick = [this] {
        news_.navigate(newsPage(sites_));
    };
    // suiImageButton16Click, suiImageButton17Click, suiImageButton24Click
    form_.get<ui::Button>("suiImageButton16").onClick = [this] { news_.back(); };
    form_.get<ui::Button>("suiImageButton17").onClick = [this] { news_.forward(); };
    form_.get<ui::Button>("suiImageButton24").onClick = [this] { news_.refresh(); };
}

void WebPages::bindNewWindows() {
    // MozillaBrowser1NewWindow2
    browser_.onNewWindow = [this](const std::string& url, bool& cancel) {
        newWindow(browser_, url, true, cancel);
    };
    // MozillaBrowser4NewWindow2
    news_.onNewWindow = [this](const std::string& url, bool& cancel) {
        newWindow(news_, url, false, cancel);
    };
}

void WebPages::newWindow(ui::WebView& view, const std::string& url, bool announce, bool& cancel) {
    if (view.busy())
        return;
    if (announce)
        form_.app().dialogs().showInfo("New Window Called ");
    // The view itself is the new window: the page opens in place, and the page's
    // own new window is not opened as well.
    view.navigate(url);
    cancel = true;
}

void WebPages::registerState() const {
    auto& state = form_.app().state();
    state.add("webBrowserVisited", [this] { return nlohmann::json(browserVisited_); });
    state.add("webNewsVisited", [this] { return nlohmann::json(newsVisited_); });
    state.add("userGuideVisited", [this] { return nlohmann::json(guideVisited_); });
    state.add("supportVisited", [this] { return nlohmann::json(supportVisited_); });
}

} // namespace web
