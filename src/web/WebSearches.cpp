#include "web/WebSearches.h"

#include "catalogue/Selection.h"
#include "platform/Shell.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Menu.h"
#include "ui/Widgets.h"

namespace web {

namespace {

/// How far right of the pointer the web search menu opens.
constexpr int kMenuOffset = 15;

void runClick(ui::Control& control) {
    if (control.onClick)
        control.onClick();
}

} // namespace

WebSearches::WebSearches(ui::Form& form, platform::Shell& shell,
                         const catalogue::Selection& selection, const Sites& sites)
    : form_(form), shell_(shell), selection_(selection), sites_(sites) {
    bindMenu();
    bindVisitSite();
}

bool WebSearches::OpenInBrowser(std::string_view url, bool maximised) {
    const auto show = maximised ? platform::WindowShow::Maximised : platform::WindowShow::Normal;
    if (shell_.openUrl(url, show))
        return true;
    form_.app().dialogs().showError(
        "No web browser could be started to open " + std::string(url) +
        ". Set BROWSER to a browser command, or install xdg-open (package xdg-utils).");
    return false;
}

void WebSearches::search(WebSearch which) {
    const std::string& text = form_.get<ui::Edit>("sqlsearchedit").text();
    OpenInBrowser(searchAddress(which, sites_, text), true);
    floatVideo();
}

void WebSearches::visitPlayingSite() {
    OpenInBrowser(siteAddress(selection_.nowPlaying().siteUrl), true);
    floatVideo();
}

void WebSearches::visitChosenSite() {
    OpenInBrowser(siteAddress(selection_.visitSiteTarget()), true);
    runClick(form_.get<ui::Button>("button5"));
    floatVideo();
}

void WebSearches::floatVideo() {
    runClick(form_.get<ui::Button>("floatvideobutton"));
}

void WebSearches::bindMenu() {
    auto& menu = form_.get<ui::Menu>("suiPopupMenu1");
    // SearchLiveNews1Click, SearchTrevaloPodCasts1Click, SearchGoogle1Click,
    // SearchTrevaloImages1Click, SearchYahoo1Click
    const std::pair<const char*, WebSearch> items[] = {
        {"SearchLiveNews1", WebSearch::TrevaloNews},
        {"SearchTrevaloPodCasts1", WebSearch::TrevaloPodcasts},
        {"SearchGoogle1", WebSearch::Google},
        {"SearchTrevaloImages1", WebSearch::Msn},
        {"SearchYahoo1", WebSearch::Yahoo}};
    for (const auto& [name, which] : items)
        form_.get<ui::MenuItem>(name).onClick = [this, which = which] { search(which); };

    // suiButton5MouseDown, shared by suiButton5b, suiImageButton2 and qzrsearch: the
    // menu opens just right of the pointer.
    for (const char* name : {"suiButton5", "suiButton5b", "suiImageButton2", "qzrsearch"}) {
        auto& button = form_.get<ui::Button>(name);
        button.onMouseDown = [&menu, &button](ui::MouseButton, int x, int y) {
            const auto [sx, sy] = ui::screenPosition(button, x, y);
            menu.popup(sx + kMenuOffset, sy);
        };
    }
}

void WebSearches::bindVisitSite() {
    auto& label = form_.get<ui::Label>("visitsite");
    // visitsiteClick
    label.onClick = [this] { visitPlayingSite(); };
    // visitsiteMouseEnter, visitsiteMouseLeave
    label.onMouseEnter = [&label] {
        ui::Font f = label.font();
        f.bold = true;
        f.underline = true;
        label.setFont(f);
    };
    label.onMouseLeave = [&label] {
        ui::Font f = label.font();
        f.bold = true;
        f.underline = false;
        label.setFont(f);
    };
    // VisitSite1Click
    form_.get<ui::MenuItem>("VisitSite1").onClick = [this] { visitChosenSite(); };
}

} // namespace web
