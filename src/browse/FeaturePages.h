#pragma once
// The two 8-slot thumbnail pages of the main page control — Newest Videos and
// Special Interest — and the result pages shown on Newest Videos: their fillers,
// their paging handlers and the state they page with.
//
// Thread: user-interface thread only.

#include <array>
#include <string>
#include <string_view>

#include "search/LibrarySearch.h"

namespace ui {
class CaptionPanel;
class Control;
class Image;
class Label;
class Memo;
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

/// A topic list: entries 1..20 of SQL texts and captions, as the server returns them.
struct TopicList {
    static constexpr int kCapacity = 20;
    std::array<std::string, kCapacity + 1> sql{};     // index 0 unused
    std::array<std::string, kCapacity + 1> caption{}; // index 0 unused
    int count = 0;
};

class FeaturePages {
public:
    /// Binds the paging handlers of both pages.
    FeaturePages(app::Tmainform& form, catalogue::Catalogue& catalogue, search::Exclusions exclusions);

    /// Fills Newest Videos. Modes: "getnextquery", "getnextpage", "getpreviouspage",
    /// "videosnapsearch", "videosnapsearchrecent". The caller brackets it with the
    /// catalogue connection. Throws when a thumbnail cannot be written or decoded.
    void FillFeaturePage(std::string_view mode);
    /// Fills Special Interest. Modes: "getnextquery", "getnextpage", "getpreviouspage".
    void FillSpecialPage(std::string_view mode);
    /// Fills Newest Videos from a complete statement; opens and closes the
    /// connection itself. Query errors reach the caller.
    void FillResultPage(const std::string& sql);

    // Page state, shared with the topic buttons, the category list and the searches.
    int featureOffset = 0;
    int specialOffset = 0;
    int featureTopicIndex = 0;
    int specialTopicIndex = 0;
    TopicList featureTopics;
    TopicList specialTopics;
    std::string pageOffsetText;
    bool searchResultsShown = false;
    bool imageSearchActive = false;
    bool imageSearchPopular = false;
    std::string imageSearchSqlHead, imageSearchSqlMiddle, imageSearchSqlTail;
    bool resultQueryShown = false;
    int resultQueryOffset = 0;
    std::string resultQueryBase;

    /// The statement of the current result page: base + " " + offset + ", 8".
    std::string resultPageSql() const;

private:
    struct Slot {
        ui::Image* image;
        ui::CaptionPanel* caption;
        ui::Memo* memo;
    };
    void bindHandlers();
    void clearFeatureTexts();
    void fillRows(std::array<Slot, 9>& slots, catalogue::SlotTable& table, const std::string& file);

    app::Tmainform& form_;
    catalogue::Catalogue& catalogue_;
    search::Exclusions exclusions_;
    std::array<Slot, 9> feature_{};
    std::array<Slot, 9> special_{};
    ui::TabSheet& featureSheet_;
    ui::TabSheet& specialSheet_;
    ui::Label& resultsLabel_;
    ui::Label& noResults_;
};

} // namespace browse
