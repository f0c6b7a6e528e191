#pragma once
// The two 8-slot thumbnail pages of the main page control — Newest Videos and
// Special Interest — and the result pages shown on Newest Videos: their fillers,
// their topic buttons and paging strips, and the state they page with.
//
// Thread: user-interface thread only. The topic buttons, paging strips and the
// "Web News" button are bound here; the online load, the category list and the
// searches call the operations below.

#include <array>
#include <string>

#include "catalogue/SlotTable.h"
#include "db/Query.h"
#include "search/LibrarySearch.h"

namespace ui {
class CaptionPanel;
class Form;
class Image;
class Label;
class Memo;
class TabSheet;
} // namespace ui

namespace catalogue {
class CatalogueServer;
class RowProblems;
} // namespace catalogue

namespace browse {

class Topics;
struct TopicList;

/// How a fill of an 8-slot page chooses its rows.
enum class PageMode {
    NextTopic,          ///< the next topic from its first window ("getnextquery")
    NextPage,           ///< the window 8 rows on ("getnextpage")
    PreviousPage,       ///< the window 8 rows back, never below 0 ("getpreviouspage")
    LibrarySearch,      ///< the box text in the image library, by score ("videosnapsearch")
    LibrarySearchRecent ///< the same, newest first ("videosnapsearchrecent")
};

class FeaturePages {
  public:
    /// Binds the topic buttons, the paging strips and the "Web News" button, and
    /// registers the pages' state variables. `topics` holds the topic lists.
    FeaturePages(ui::Form& form, catalogue::CatalogueServer& server, const Topics& topics,
                 search::Exclusions exclusions);
    FeaturePages(const FeaturePages&) = delete;
    FeaturePages& operator=(const FeaturePages&) = delete;

    /// Topic button N (1..12) of a page: the page's topic N from offset 0, in the
    /// connection bracket. With `problems` (the online load), a bad picture or row
    /// is recorded there and skipped and the fill goes on; without, it ends the
    /// fill at that slot and is thrown.
    void showFeatureTopic(int n, catalogue::RowProblems* problems = nullptr);
    void showSpecialTopic(int n, catalogue::RowProblems* problems = nullptr);
    /// The category list's entry: `caption` on the Newest Videos tab, and the
    /// result statement `base` from its first window of 8. Query errors reach
    /// the caller.
    void showResultStatement(const std::string& caption, std::string base);

    /// A search's results on Newest Videos: `base` (a statement ending just before
    /// its window) becomes the stored result query at offset 0, and its first page,
    /// `base` + "0, 8", is shown. The tab caption stays. Query errors reach the
    /// caller.
    void showSearchResults(std::string base);
    /// The ordering of the library-search pages fetched from now on: by score
    /// (`popular`) or newest first.
    void setImageSearchPopular(bool popular) { imageSearchPopular_ = popular; }
    /// A library search of the box text from its first page, in the connection
    /// bracket: by score (`popular`) or newest first. `endResultQuery` also ends
    /// the paging of a stored result query at once.
    void startLibrarySearch(bool popular, bool endResultQuery);

    /// Fills Newest Videos. The caller brackets it with the catalogue connection.
    /// Throws when a thumbnail cannot be written or decoded.
    void FillFeaturePage(PageMode mode, catalogue::RowProblems* problems = nullptr);
    /// Fills Special Interest; the library-search modes do not apply to it
    /// (std::invalid_argument).
    void FillSpecialPage(PageMode mode, catalogue::RowProblems* problems = nullptr);
    /// Fills Newest Videos from a complete statement; opens and closes the
    /// connection itself. Query errors reach the caller.
    void FillResultPage(const std::string& sql);

    const catalogue::SlotTable& featureSlots() const { return feature_.table; }
    const catalogue::SlotTable& specialSlots() const { return special_.table; }

  private:
    struct Slot {
        ui::Image* image = nullptr;
        ui::CaptionPanel* caption = nullptr;
        ui::Memo* memo = nullptr;
    };
    /// One 8-slot page: its controls, its items and where it stands in its topic.
    struct Page {
        ui::TabSheet* sheet = nullptr;
        std::array<Slot, 9> slots{}; // index 0 unused
        catalogue::SlotTable table;
        const TopicList* topics = nullptr;
        std::string file; ///< the picture file every slot of a topic fill reuses
        int offset = 0;
        int topicIndex = 0;
    };
    void bindHandlers();
    void registerState() const;

    // The paging strips and buttons.
    void featureNextPage();     ///< upper strip of Newest Videos
    void featurePreviousPage(); ///< lower strip of Newest Videos
    void specialNextPage();
    void specialPreviousPage();
    void newestBackOnePage(); ///< the "Web News" button: a topic page back on Newest Videos

    /// Empties the slots' texts (and, with `pictures`, their pictures).
    void clearSlots(Page& page, bool pictures);
    void clearPictures(Page& page);
    /// The topic and paging part that both pages share: the next topic, or the
    /// window before or after, of the page's topic; while library-search results
    /// are shown, paging runs `searchWindow` instead.
    void runTopicWindow(Page& page, PageMode mode, void (FeaturePages::*searchWindow)());
    void runTopic(Page& page);
    void featureSearchWindow();
    void specialSearchWindow();
    void fillRows(Page& page, catalogue::RowProblems* problems);
    std::string resultPageSql() const;

    ui::Form& form_;
    catalogue::CatalogueServer& server_;
    const Topics& topics_;
    search::Exclusions exclusions_;
    db::Query pageQuery_;   ///< designed name featuremysqlpic: both pages' topics and searches
    db::Query resultQuery_; ///< designed name CatSQL: result pages
    Page feature_;
    Page special_;
    ui::Label& resultsLabel_;
    ui::Label& noResults_;

    std::string pageOffsetText_;
    bool searchResultsShown_ = false; ///< both pages page through library-search results
    bool imageSearchActive_ = false;
    bool imageSearchPopular_ = false;
    search::LibrarySearch imageSearchSql_;
    bool resultQueryShown_ = false;
    int resultQueryOffset_ = 0;
    std::string resultQueryBase_;
};

} // namespace browse
