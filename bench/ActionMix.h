#pragma once
// The mix of actions a user of the main window does most: pages, topics, side
// tabs, categories and searches, as automation request lines.

#include <string>
#include <vector>

namespace bench {

// One action of the mix: the request lines it sends, the last one timed with them.
struct Action {
    const char* name;
    std::vector<std::string> requests;
};

inline const std::vector<Action>& actionMix() {
    static const std::vector<Action> actions = {
        {"page", {"[\"event\",\"suiImageButton7\",\"Click\"]"}},
        {"page back", {"[\"event\",\"suiImageButton6\",\"Click\"]"}},
        {"topic", {"[\"event\",\"querybutton3\",\"Click\"]"}},
        // Buttons on other tabs: the tab is chosen first and left again after.
        {"special page",
         {"[\"event\",\"suiPageControl1\",\"TabActive\",{\"index\":3}]",
          "[\"event\",\"suiImageButton5\",\"Click\"]",
          "[\"event\",\"suiPageControl1\",\"TabActive\",{\"index\":2}]"}},
        {"world page", {"[\"event\",\"suiImageButton8\",\"Click\"]"}},
        {"news page",
         {"[\"event\",\"sidepage\",\"TabActive\",{\"index\":1}]",
          "[\"event\",\"suiImageButton11\",\"Click\"]",
          "[\"event\",\"sidepage\",\"TabActive\",{\"index\":0}]"}},
        {"category",
         {"[\"set\",\"CatList\",\"selected\",1]", "[\"event\",\"CatList\",\"DblClick\"]"}},
        {"text search",
         {"[\"set\",\"sqlsearchedit\",\"text\",\"surfing\"]",
          "[\"event\",\"textSearch\",\"Click\"]"}},
        {"image search",
         {"[\"set\",\"sqlsearchedit\",\"text\",\"news\"]",
          "[\"event\",\"sqlsearchedit\",\"KeyPress\",{\"key\":\"\\r\"}]"}},
        {"topic 1", {"[\"event\",\"querybutton1\",\"Click\"]"}},
    };
    return actions;
}

} // namespace bench
