#pragma once
// How the 56 thumbnails of the five thumbnail pages answer the pointer. Pointing at
// a thumbnail enlarges it by 20 pixels each way, growing toward the inside of its
// grid, makes its item the current item and shows that item in the information
// labels (and, on the side tabs, in a small title bar over the thumbnail). Leaving
// it undoes the enlargement and puts the labels back to their defaults. Moving over
// a page's free area tidies the page up.
//
// Thread: user-interface thread only.

#include <array>
#include <deque>
#include <functional>
#include <span>
#include <string>

#include "catalogue/SlotTable.h"

namespace ui {
class Animation;
class CaptionPanel;
class Form;
class Image;
class Label;
class MenuItem;
class Memo;
} // namespace ui

namespace catalogue {
class Selection;
}

namespace browse {

/// The two grid shapes of the thumbnail pages, slots numbered row by row from 1:
/// 4 columns by 2 rows (the 8-slot pages) and 2 columns by 8 rows (the side tabs).
enum class GridShape { FourByTwo, TwoByEight };

/// How far the left and top edges of a thumbnail move when it grows by 20 pixels
/// each way: 0, -10 or -20 pixels, so that it grows toward the inside of its grid
/// and never past the grid's outer edges.
struct EdgeShift {
    int left = 0;
    int top = 0;
    bool operator==(const EdgeShift&) const = default;
};

/// The edge shifts of slot `slot` (1..8 or 1..16) of a grid. Throws
/// std::out_of_range for a slot the grid does not have.
EdgeShift edgeShift(GridShape grid, int slot);

class SlotBehaviour {
  public:
    /// Binds the mouse-move and mouse-leave handlers of every thumbnail and the
    /// mouse-move handlers of the page backgrounds, and registers the hover state
    /// and the information labels' defaults. Pointing at a thumbnail chooses its
    /// item in `selection`.
    SlotBehaviour(ui::Form& form, catalogue::Selection& selection);
    ~SlotBehaviour();
    SlotBehaviour(const SlotBehaviour&) = delete;
    SlotBehaviour& operator=(const SlotBehaviour&) = delete;

    /// The slot table whose items the thumbnails of `page` show; the page's owner
    /// keeps it. Until given, pointing at such a thumbnail chooses nothing.
    void readSlotsFrom(catalogue::PageKind page, const catalogue::SlotTable& table);
    /// What a click on any thumbnail runs: the play request, which plays what
    /// pointing at the thumbnail selected. Until given, a click does nothing.
    void setPlayRequest(std::function<void()> play) { playRequest_ = std::move(play); }

    /// The rows of the text grid (row r is `rows[r - 1]`); their owner keeps them.
    /// Until given, a grid row selects an empty item.
    void readTextRowsFrom(std::span<const catalogue::Item> rows) { textRows_ = rows; }

    /// Default text `index` (0 title, 1..3 description lines, 4 site) of the
    /// information labels, shown whenever no thumbnail is pointed at.
    void setInfoDefault(int index, std::string text);
    static constexpr int kInfoLabels = 5;

    /// Makes slot `slot` of `page` the current item and shows it in the information
    /// labels. For the thumbnail pages `slot` is 1..16 and the item comes from the
    /// page's slot table (std::out_of_range for another slot). For `pkTextGrid`
    /// `slot` is a grid row: the row becomes the now-playing item and the play link,
    /// gives the current item its title and description and the picture of
    /// `suiDBImage1`, and marks the next bookmark as taken from the now-playing
    /// item; a row without a result selects an empty item.
    void SelectSlot(int slot, catalogue::PageKind page);
    /// Puts the default texts back into the information labels and hides the
    /// side-tab title bar and the information picture. The current item stays, so
    /// a click after leaving still plays the last item pointed at.
    void RestoreInfoPanel();

  private:
    struct Thumbnail {
        ui::Image* image;
        ui::CaptionPanel* caption; ///< the 8-slot pages' caption panel, else nullptr
        catalogue::PageKind page;
        GridShape grid;
        int slot;
    };

    void bindFamily(const std::string& prefix, catalogue::PageKind page, GridShape grid, int count,
                    const std::string& captionPrefix, const std::string& captionSuffix);
    /// The pointer moved over a thumbnail: the first move enlarges it and chooses
    /// its item.
    void pointAt(const Thumbnail& t);
    /// The pointer left a thumbnail.
    void leaveThumbnail();
    /// Grows (`sign` 1) or shrinks (`sign` -1) a thumbnail and its caption panel.
    static void resize(const Thumbnail& t, int sign);
    void registerState() const;

    /// Collapses the caption panels the user has opened on an 8-slot page.
    void collapseCaptions(catalogue::PageKind page);
    void clearSelectionMemo();

    ui::Form& form_;
    catalogue::Selection& selection_;
    /// The slot tables by page kind (index 1..5); the text grid has none.
    std::array<const catalogue::SlotTable*, 7> slotTables_{};
    std::span<const catalogue::Item> textRows_;
    std::array<std::string, kInfoLabels> infoDefaults_{};
    /// A thumbnail is enlarged.
    bool hoverEnlarged_ = false;
    /// The mouse has moved over a thumbnail since the last leave.
    bool hoverMoved_ = false;
    /// A deque, so the handlers' references to its elements stay valid.
    std::deque<Thumbnail> thumbnails_;
    /// The enlarged thumbnail, or nullptr. A leave shrinks this one, whichever
    /// thumbnail reports it, so after a leave that never came the next leave puts
    /// it back instead of shrinking a thumbnail that was never enlarged.
    const Thumbnail* enlarged_ = nullptr;

    ui::CaptionPanel& infoPanel_;
    ui::Image& infoImage_;
    ui::Image& gridPicture_;                     ///< suiDBImage1: the selected grid row's picture
    std::array<ui::Label*, kInfoLabels> labels_; ///< titledis, descdis1..descdis4
    ui::MenuItem& addToBookmarks_;
    ui::MenuItem& deleteBookmark_;
    ui::MenuItem& deleteAllBookmarks_;
    ui::Memo& sqlvideomemo_;
    ui::Animation& busy_; ///< Animate1: runs while a stream loads
    std::function<void()> playRequest_;
};

} // namespace browse
