#pragma once
// The category tree of the right-hand column: built from the catalogue's category
// and subcategory tables at every online load; a double-click shows the entry's
// videos on the Newest Videos page.
//
// Thread: user-interface thread only.

#include <string>
#include <vector>

namespace app {
class Tmainform;
}
namespace catalogue {
class Catalogue;
}
namespace ui {
class TreeView;
}

namespace browse {

class FeaturePages;

class Categories {
public:
    /// Ids run 1..2000 and the tree holds at most 2000 nodes; what does not fit is
    /// ignored.
    static constexpr int kCapacity = 2000;

    Categories(app::Tmainform& form, catalogue::Catalogue& catalogue, FeaturePages& pages);

    /// Rebuilds the tables and the tree. Throws the catalogue error when a
    /// statement fails and the conversion error for an id that is not a number.
    void LoadCategories();
    void CatListDblClick();

    // Tables indexed by id (1..2000) and by tree position (0..1999). Later loads
    // overwrite entries; nothing clears them.
    std::vector<std::string> categoryIdText, categoryName, categorySql;
    std::vector<std::string> subcategoryParentText, subcategoryName, subcategorySql;
    std::vector<std::string> nodeName, nodeSql;
    int markedCategoryNode = -1;

private:
    app::Tmainform& form_;
    catalogue::Catalogue& catalogue_;
    FeaturePages& pages_;
    ui::TreeView& tree_;
};

} // namespace browse
