#pragma once
// The text results page ("All Videos"): the phrase, popular and latest searches of
// the text library, their paging by 100 rows, the table of results behind the grid
// `stringgrid`, what selecting a row chooses, the grid's menu with the picture
// lookup, and the hidden record count.
//
// Thread: user-interface thread only. The handlers are bound to their controls
// and menu items here; the composition only builds this and hands it what it reads.

#include <array>
#include <functional>
#include <string>

#include "catalogue/SlotTable.h"
#include "db/Query.h"
#include "search/LibrarySearch.h"
#include "search/TextStatements.h"

namespace ui {
class Edit;
class Form;
class Image;
class Label;
class Memo;
class MenuItem;
class PageControl;
class RadioButton;
class StringGrid;
class TabSheet;
} // namespace ui
namespace catalogue {
class CatalogueServer;
class Selection;
} // namespace catalogue
namespace browse {
class SlotBehaviour;
}

namespace search {

class TextGrid {
  public:
    /// Rows the table of results holds; a search reads at most this many.
    static constexpr int kCapacity = 250;
    /// Rows of one page of the popular and latest searches.
    static constexpr int kPage = 100;
    /// The grid's designed shape: the header row and 100 visible data rows.
    static constexpr int kGridRows = 101;
    static constexpr int kGridCols = 5;
    /// The text shown in the first Description cell until a row comes back.
    static constexpr const char* kPlaceholder = "Nil";

    /// Shapes the grid, binds the handlers and registers the state variables.
    /// `textPieces` gives the latest search's stored statement pieces when a
    /// search runs (they are loaded after start-up).
    TextGrid(ui::Form& form, catalogue::CatalogueServer& server, browse::SlotBehaviour& slots,
             catalogue::Selection& selection, Exclusions exclusions,
             std::function<const TextSearchPieces&()> textPieces);
    TextGrid(const TextGrid&) = delete;
    TextGrid& operator=(const TextGrid&) = delete;

    // The commands, as their controls and menu items run them. Each search opens
    // the catalogue connection and closes it at its end, whichever way it ends.

    /// sqlsearchbuttonClick: the phrase search; a statement the server refuses
    /// is ignored.
    void phraseSearch();
    /// textSearchClick: nothing while the box shows a help text or is empty;
    /// otherwise textSearchFromStart.
    void textSearch();
    /// extMethodBoth1Click: the popular or the latest search (by the radio
    /// buttons) from its first page.
    void textSearchFromStart();
    /// SearchPopular1Click and SearchLatest1Click: the search at its offset. A
    /// statement the server refuses is thrown; the grid then keeps its rows.
    void popularSearch();
    void latestSearch();
    /// nexttextClick and NextPage1Click, backtextClick and PrevoiusPage1Click.
    void nextPage();
    void previousPage();
    /// stringgridSelectCell: row `row` (1-based) becomes the current item.
    void selectCell(int col, int row);
    /// lookforimageClick: the image library's picture of the play link into
    /// `suiDBImage1`, or the placeholder picture when it has none.
    void lookForImage();
    /// ShowVideoImage1Click: the lookup, then the picture shown.
    void showVideoImage();
    /// suiButton6Click ("Total Vids") and "Refresh Record Count": the text
    /// library's size into `Label9`. "Show Total Videos" (`show`) also shows it.
    void countRecords(bool show);

    const std::array<catalogue::Item, kCapacity>& textResults() const { return textResults_; }
    int textResultCount() const { return textResultCount_; }

  private:
    enum class Read { ByName, ByPosition };
    void bindHandlers();
    void registerState() const;
    bool popularChecked() const;
    /// Runs `sql` on the search component and fills the grid and the table.
    /// `ignoreRefusal`: a refused statement shows an empty grid instead of
    /// reaching the caller.
    void fill(const std::string& caption, const std::string& sql, Read read, bool ignoreRefusal);

    ui::Form& form_;
    catalogue::CatalogueServer& server_;
    browse::SlotBehaviour& slots_;
    catalogue::Selection& selection_;
    Exclusions exclusions_;
    std::function<const TextSearchPieces&()> textPieces_;

    ui::StringGrid& grid_;
    ui::Edit& box_;
    ui::RadioButton& popular_;
    ui::PageControl& pages_;
    ui::TabSheet& sheet_;
    ui::Image& picture_;
    ui::Memo& memo_;
    ui::MenuItem& visitSite_;
    ui::Label& count_;

    db::Query searchQuery_;  ///< designed name videosearchmysql
    db::Query pictureQuery_; ///< designed name pelorapicsmysql
    db::Query countQuery_;

    std::array<catalogue::Item, kCapacity> textResults_{};
    int textResultCount_ = 0;
    int popularTextOffset_ = 0;
    int latestTextOffset_ = 0;
};

} // namespace search
