#include "qt/WebViewBinding.h"

#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "qt/BindingHost.h"
#include "qt/Conversions.h"
#include "ui/WebView.h"

namespace qtfront {

namespace {

/// Pages report addresses in their normal form ("http://host/"); the model may hold
/// the address as it was typed. Both name the same page.
bool samePage(const std::string& modelUrl, const QUrl& reported) {
    const auto norm = QUrl::StripTrailingSlash | QUrl::NormalizePathSegments;
    const QUrl model = modelUrl.empty() ? QUrl(QStringLiteral("about:blank"))
                                        : QUrl::fromUserInput(toQString(modelUrl));
    return model.adjusted(norm) == reported.adjusted(norm);
}

} // namespace

WebViewBinding::WebViewBinding(ui::WebView& web, BindingHost& host, std::uint64_t serial,
                               QWidget* parent)
    : Binding(web, host, serial), web_(web) {
    auto* view = new QWebEngineView(parent);
    QObject::connect(view, &QWebEngineView::urlChanged, view, [this, g = guard()](const QUrl& url) {
        if (!g.takesInput() || samePage(web_.url(), url))
            return;
        ui::WebView& web = web_;
        this->host().dispatch([&web, u = toStdString(url.toString())] { web.reportNavigated(u); });
    });
    QObject::connect(view, &QWebEngineView::loadStarted, view, [this, g = guard()] {
        if (!g.takesInput())
            return;
        loading_ = true;
        ui::WebView& web = web_;
        this->host().dispatch([&web] { web.reportBusy(true); });
    });
    QObject::connect(view, &QWebEngineView::loadFinished, view, [this, g = guard()](bool) {
        if (!g.takesInput())
            return;
        loading_ = false;
        ui::WebView& web = web_;
        this->host().dispatch([&web] { web.reportBusy(false); });
    });
    QObject::connect(view->page(), &QWebEnginePage::newWindowRequested, view,
                     [this, view, g = guard()](QWebEngineNewWindowRequest& request) {
                         if (!g.alive())
                             return;
                         const QUrl url = request.requestedUrl();
                         bool allowed = false;
                         ui::WebView& web = web_;
                         this->host().dispatch([&web, &allowed, u = toStdString(url.toString())] {
                             allowed = web.requestNewWindow(u);
                         });
                         // The view has no windows of its own: an allowed page opens in place.
                         if (allowed && g.alive())
                             view->setUrl(url);
                     });
    adopt(view, InputRole::Whole);
}

void WebViewBinding::applyKind() {
    auto* q = static_cast<QWebEngineView*>(widget());
    if (web_.loads() != loadsFollowed_) {
        loadsFollowed_ = web_.loads();
        // A view with nothing to show loads nothing: an empty page would start a
        // renderer process of its own for each web tab never opened.
        if (!web_.url().empty()) {
            loading_ = true;
            q->setUrl(QUrl::fromUserInput(toQString(web_.url())));
        }
    } else if (!web_.busy() && loading_) {
        // The model stopped the load.
        loading_ = false;
        q->stop();
    }
    if (web_.focusRequests() != focusFollowed_) {
        if (web_.focusRequests() > 0)
            q->setFocus(Qt::OtherFocusReason);
        focusFollowed_ = web_.focusRequests();
    }
}

} // namespace qtfront
