#pragma once
// The search box `sqlsearchedit` and the image searches it starts: its grey help
// texts, Enter as a click of the image search button, the image and visual
// searches shown as result pages on Newest Videos, the library-search commands of
// the search-type menu and the two ordering radio buttons.
//
// Thread: user-interface thread only. The handlers are bound here.

#include <functional>
#include <string>

#include "search/ImageStatements.h"
#include "search/LibrarySearch.h"

namespace ui {
class Edit;
class Form;
class RadioButton;
class TabSheet;
} // namespace ui
namespace browse {
class FeaturePages;
}

namespace search {

class SearchBox {
  public:
    /// Draws the number 0..99 that picks a help text.
    using Draw = std::function<int()>;

    /// Binds the handlers. The results go to `pages`; `imagePieces` gives the
    /// image search's stored statement pieces when a search runs (they are loaded
    /// after start-up); `exampleDomain` ends the `site:` help text.
    SearchBox(ui::Form& form, browse::FeaturePages& pages, Exclusions exclusions,
              std::function<const ImageSearchPieces&()> imagePieces, std::string exampleDomain);
    SearchBox(const SearchBox&) = delete;
    SearchBox& operator=(const SearchBox&) = delete;

    /// Replaces the uniform draw (for tests that choose the help text).
    void setDraw(Draw draw) { draw_ = std::move(draw); }

    /// The three help texts, for the draw's ranges 0..32, 33..65 and 66..99.
    std::string helpText(int drawn) const;

    /// sqlsearcheditClick: a box showing a help text becomes empty, black, for typing.
    void enterTyping();
    /// sqlsearcheditExit: an empty box shows one of the help texts in silver.
    void leaveBox();
    /// suiImageButton3Click: the box text becomes the Newest Videos caption; unless
    /// it is a help text or empty, the image search's first page is shown there.
    void imageSearch();
    /// NewSearch1Click: the visual search of whatever the box shows.
    void visualSearch();
    /// The library-search commands: by the radio buttons ("Search Image
    /// Library"), by score, or newest first.
    void librarySearchByRadioButtons();
    void librarySearch(bool popular);

  private:
    void bindHandlers();
    bool mostRecent() const;
    bool showsHelp() const;

    ui::Form& form_;
    browse::FeaturePages& pages_;
    Exclusions exclusions_;
    std::function<const ImageSearchPieces&()> imagePieces_;
    std::string exampleDomain_;
    Draw draw_;
    ui::Edit& box_;
    ui::RadioButton& mostRecent_;
    ui::TabSheet& featureSheet_;
};

} // namespace search
