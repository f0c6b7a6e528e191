#pragma once
// The binding of a web view: a QWebEngineView loading what the model navigates to.
// Pages the user reaches inside the view, and the start and end of loads, go back
// to the model; a page's request for a new window asks the model, and an allowed one
// opens in place, since the view has no windows of its own.
//
// Owns the view and what it last did for the model: the load and focus requests it
// followed and whether a load runs. Thread: user-interface thread only.

#include "qt/Binding.h"

namespace ui {
class WebView;
}

namespace qtfront {

class WebViewBinding final : public Binding {
  public:
    WebViewBinding(ui::WebView& web, BindingHost& host, std::uint64_t serial, QWidget* parent);

  private:
    void applyKind() override;

    ui::WebView& web_;
    int loadsFollowed_ = -1;
    int focusFollowed_ = -1;
    bool loading_ = false;
};

} // namespace qtfront
