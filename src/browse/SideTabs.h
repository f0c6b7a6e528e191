#pragma once
// The World and Aus News tabs of the side bar: sixteen catalogue items each, from
// the tab's own stored query, paged sixteen rows at a time with the two arrow
// strips across the top of the tab.
//
// Thread: user-interface thread only.

#include <array>
#include <string>

namespace ui {
class Image;
class TabSheet;
} // namespace ui

namespace app {
class Tmainform;
}

namespace catalogue {
class Catalogue;
class SlotTable;
} // namespace catalogue

namespace browse {

class Topics;

class SideTabs {
public:
    /// Binds the arrow strips of both tabs and the hidden "Next Page" button of
    /// Aus News. `topics` holds the tabs' stored queries and captions.
    SideTabs(app::Tmainform& form, catalogue::Catalogue& catalogue, const Topics& topics);
    SideTabs(const SideTabs&) = delete;
    SideTabs& operator=(const SideTabs&) = delete;

    /// Fills the World tab at `worldOffset`, opening and closing the connection
    /// itself. A bad picture in slots 1 to 3 keeps that slot's previous picture;
    /// further down it ends the fill and is thrown (the connection is closed all
    /// the same). A failing query changes nothing.
    void FillWorldTab();
    /// Fills the Aus News tab at `newsOffset`. The caller brackets it with the
    /// connection. Throws at the first picture that cannot be written or decoded.
    void FillNewsTab();

    int worldOffset = 0; ///< row offset of the World tab, steps of 16
    int newsOffset = 0;  ///< row offset of the Aus News tab, steps of 16
    bool newsPaged = false;     ///< the Aus News next-page action has run once
    bool sideBarFilled = false; ///< the World tab has been filled once since start-up

private:
    struct Tab {
        int entry;            ///< the tab's entry among the stored side-tab queries
        ui::TabSheet* sheet;
        std::array<ui::Image*, 17> images; // index 0 unused
        catalogue::SlotTable* slots;
        std::string file;     ///< the picture file every slot of the tab reuses
        int guardedSlots;     ///< slots whose bad picture is ignored
        bool firstByPosition; ///< slot 1 reads its picture by column position
    };
    Tab makeTab(int entry, const std::string& sheet, const std::string& pic, catalogue::SlotTable& slots,
                std::string file, int guardedSlots, bool firstByPosition);
    void fill(const Tab& tab, int offset);

    void suiImageButton8Click();  ///< World, next page
    void suiImageButton10Click(); ///< World, previous page (reloads the first page at 0)
    void suiImageButton11Click(); ///< Aus News, next page; the first time, the first page
    void suiImageButton12Click(); ///< Aus News, previous page

    app::Tmainform& form_;
    catalogue::Catalogue& catalogue_;
    const Topics& topics_;
    Tab world_;
    Tab news_;
};

} // namespace browse
