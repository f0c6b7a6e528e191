#pragma once
// The side bar: the stored queries of its tabs, loaded at every online load; the
// World and Aus News tabs with sixteen catalogue items each, paged sixteen rows at
// a time with the two arrow strips across the top of the tab; and what happens when
// the side bar slides out or a side tab is chosen.
//
// Thread: user-interface thread only. The arrow strips, the side bar and the tab
// control are bound here; the online load calls LoadSideTabs.

#include <array>
#include <functional>
#include <string>

#include "catalogue/SlotTable.h"
#include "db/Query.h"

namespace ui {
class Form;
class Image;
class TabSheet;
} // namespace ui

namespace catalogue {
class CatalogueServer;
}

namespace browse {

class SideTabs {
  public:
    /// Binds the arrow strips of both tabs, the hidden "Next Page" button of Aus
    /// News, the side bar's slide-out and the tab control, and registers the tabs'
    /// state variables. The side bar does nothing while `isOnline` says false.
    SideTabs(ui::Form& form, catalogue::CatalogueServer& server, std::function<bool()> isOnline);
    SideTabs(const SideTabs&) = delete;
    SideTabs& operator=(const SideTabs&) = delete;

    /// Fill the side-tab queries and captions (entries 1..3). The list's query
    /// component stays open until the caller closes the connection. Throws the
    /// catalogue error when the statement fails.
    void LoadSideTabs();

    /// Fills the World tab at its offset, opening and closing the connection
    /// itself. A bad picture in slots 1 to 3 keeps that slot's previous picture;
    /// further down it ends the fill and is thrown (the connection is closed all
    /// the same). A failing query changes nothing.
    void FillWorldTab();
    /// Fills the Aus News tab at its offset. The caller brackets it with the
    /// connection. Throws at the first picture that cannot be written or decoded.
    void FillNewsTab();

    const catalogue::SlotTable& worldSlots() const { return world_.table; }
    const catalogue::SlotTable& newsSlots() const { return news_.table; }

    static constexpr int kSideTabs = 3; ///< 1 World, 2 Aus News, 3 Bookmarks

    /// Runs every time the user chooses the Bookmarks tab (while online); the
    /// composition points it at the bookmark page.
    std::function<void()> onBookmarksChosen;

  private:
    struct Tab {
        int entry = 0; ///< the tab's entry among the stored side-tab queries
        ui::TabSheet* sheet = nullptr;
        std::array<ui::Image*, 17> images{}; // index 0 unused
        catalogue::SlotTable table;
        std::string file;             ///< the picture file every slot of the tab reuses
        int guardedSlots = 0;         ///< slots whose bad picture is ignored
        bool firstByPosition = false; ///< slot 1 reads its picture by column position
        int offset = 0;               ///< row offset, steps of 16
    };
    void makeTab(Tab& tab, int entry, const std::string& sheet, const std::string& pic,
                 std::string file, int guardedSlots, bool firstByPosition);
    void fill(Tab& tab);
    void registerState() const;

    void worldNextPage();
    void worldPreviousPage(); ///< at offset 0 it reloads the first page
    void newsNextPage();      ///< the first time, the first page
    void newsPreviousPage();
    void sideBarPoppedOut();
    void sideTabChosen(int index);

    ui::Form& form_;
    catalogue::CatalogueServer& server_;
    std::function<bool()> isOnline_;
    db::Query listQuery_;                                     ///< designed name sidetabsql
    db::Query tabQuery_;                                      ///< designed name pelorapicsmysql
    std::array<std::string, kSideTabs + 1> sideTabSql_{};     // index 0 unused
    std::array<std::string, kSideTabs + 1> sideTabCaption_{}; // index 0 unused
    Tab world_;
    Tab news_;
    bool newsPaged_ = false;     ///< the Aus News next-page action has run once
    bool sideBarFilled_ = false; ///< the World tab has been filled once since start-up
    /// The Aus News tab has been chosen since start-up; only its first choice loads
    /// its first page, later choices keep the page it shows.
    bool newsTabChosen_ = false;
};

} // namespace browse
