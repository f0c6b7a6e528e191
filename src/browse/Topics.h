#pragma once
// The topic buttons of the two 8-slot pages and the side bar: loading the topic and
// side-tab lists from the catalogue, running a topic when its button is pressed,
// and what happens when the side bar slides out or a side tab is chosen.
//
// Thread: user-interface thread only.

#include <array>
#include <string>

namespace app {
class Tmainform;
}
namespace catalogue {
class Catalogue;
}

namespace browse {

class FeaturePages;

class Topics {
public:
    Topics(app::Tmainform& form, catalogue::Catalogue& catalogue, FeaturePages& pages,
           const bool& onlineMode);

    /// Fill the Newest Videos and Special Interest topic lists and button captions.
    /// The list's query component stays open until the caller closes the
    /// connection. Throws the catalogue error when the statement fails.
    void LoadFeatureTopics();
    void LoadSpecialTopics();
    /// Fill the side-tab queries and captions (entries 1..3).
    void LoadSideTabs();

    /// Runs topic button N (1..12) of a page, as its click does.
    void querybuttonClick(int n);
    void SpecialbuttonClick(int n);

    /// True from the moment the Newest Videos topic list starts opening until its
    /// component is closed.
    bool topicListOpen() const;

    static constexpr int kSideTabs = 3;
    std::array<std::string, kSideTabs + 1> sideTabSql{};     // 1 World, 2 Aus News, 3 Bookmarks
    std::array<std::string, kSideTabs + 1> sideTabCaption{}; // index 0 unused

    /// The Aus News tab has been chosen since start-up; only its first choice
    /// loads its first page, later choices keep the page it shows.
    bool newsTabChosen = false;

private:
    void videosidebarslidePop();
    void sidepageTabActive(int index);

    app::Tmainform& form_;
    catalogue::Catalogue& catalogue_;
    FeaturePages& pages_;
    const bool& onlineMode_;
};

} // namespace browse
