#include "ui/WebView.h"

namespace ui {

void WebView::navigate(std::string url) {
    // Going somewhere new drops the forward history, as a browser does.
    if (position_ + 1 < static_cast<int>(history_.size()))
        history_.resize(static_cast<std::size_t>(position_ + 1));
    history_.push_back(url);
    position_ = static_cast<int>(history_.size()) - 1;
    url_ = std::move(url);
    ++loads_;
    busy_ = true;
    changed();
}

void WebView::back() {
    if (position_ > 0) {
        url_ = history_[static_cast<std::size_t>(--position_)];
        ++loads_;
        changed();
    }
}

void WebView::forward() {
    if (position_ + 1 < static_cast<int>(history_.size())) {
        url_ = history_[static_cast<std::size_t>(++position_)];
        ++loads_;
        changed();
    }
}

void WebView::refresh() {
    if (!url_.empty()) {
        ++loads_;
        changed();
    }
}

void WebView::stop() {
    reportBusy(false);
}

void WebView::setFocus() {
    ++focusRequests_;
    changed();
}

void WebView::reportNavigated(std::string url) {
    if (url == url_)
        return;
    if (position_ + 1 < static_cast<int>(history_.size()))
        history_.resize(static_cast<std::size_t>(position_ + 1));
    history_.push_back(url);
    position_ = static_cast<int>(history_.size()) - 1;
    url_ = std::move(url);
    changed();
}

void WebView::reportBusy(bool busy) {
    if (busy_ != busy) {
        busy_ = busy;
        changed();
    }
}

bool WebView::requestNewWindow(const std::string& url) {
    bool cancel = false;
    if (onNewWindow)
        onNewWindow(url, cancel);
    return !cancel;
}

} // namespace ui
