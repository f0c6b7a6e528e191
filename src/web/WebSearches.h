#pragma once
// What opens outside the window, in the user's default web browser: the five web
// searches of the menu `suiPopupMenu1` (opened from the "Web News" button), and the
// two visit-site commands, the label under the now-playing title and the item
// "Visit Site: " of the video menu. Each then floats the video, so that it keeps
// playing on top of the browser.
//
// Thread: user-interface thread only. The menu, its buttons, the label and the
// menu item are bound here.

#include <string>
#include <string_view>

#include "web/WebAddresses.h"

namespace ui {
class Form;
}
namespace platform {
class Shell;
}
namespace catalogue {
class Selection;
}

namespace web {

class WebSearches {
  public:
    /// Binds the web search menu and the buttons that open it, the visit-site label
    /// and the visit-site menu item. Keeps references to all four arguments.
    WebSearches(ui::Form& form, platform::Shell& shell, const catalogue::Selection& selection,
                const Sites& sites);
    WebSearches(const WebSearches&) = delete;
    WebSearches& operator=(const WebSearches&) = delete;

    /// Starts the default web browser with `url`, in a maximised window when asked
    /// (a wish the browser may ignore). Returns true when a browser command was
    /// found and started; otherwise shows why nothing opened and returns false.
    bool OpenInBrowser(std::string_view url, bool maximised);

    /// One search of the menu on the search box's current text: the browser opens
    /// the search, then the video floats.
    void search(WebSearch which);
    /// The visit-site label: the playing item's site, then the video floats.
    void visitPlayingSite();
    /// "Visit Site: ": the site of the chosen grid row, then the media worker's
    /// attach command and the float switch.
    void visitChosenSite();

  private:
    void bindMenu();
    void bindVisitSite();
    /// Runs the float switch's handler, even while its button is disabled.
    void floatVideo();

    ui::Form& form_;
    platform::Shell& shell_;
    const catalogue::Selection& selection_;
    const Sites& sites_;
};

} // namespace web
