#pragma once
// The category tree of the right-hand column: built from the catalogue's category
// and subcategory tables at every online load; a double-click shows the entry's
// videos on the Newest Videos page.
//
// Thread: user-interface thread only.

#include <string>
#include <vector>

#include "db/Query.h"

namespace catalogue {
class CatalogueServer;
class RowProblems;
} // namespace catalogue
namespace ui {
class Form;
class TreeView;
} // namespace ui

namespace browse {

class FeaturePages;

class Categories {
  public:
    /// Ids run 1..2000 and the tree holds at most 2000 nodes; what does not fit is
    /// ignored.
    static constexpr int kCapacity = 2000;

    /// Binds the tree's double-click and registers the list's state variables.
    /// A chosen entry is shown on `pages`.
    Categories(ui::Form& form, catalogue::CatalogueServer& server, FeaturePages& pages);

    /// Rebuilds the tables and the tree, connecting if needed and disconnecting
    /// at the end. Throws the catalogue error when a statement fails; a row whose
    /// id is not a number is recorded in `problems` and skipped, and ids outside
    /// 1..2000 have no place and are ignored.
    void LoadCategories(catalogue::RowProblems& problems);

  private:
    /// The double-click: marks the chosen entry and shows its statement's results.
    void showChosenCategory();
    void registerState() const;

    ui::Form& form_;
    catalogue::CatalogueServer& server_;
    FeaturePages& pages_;
    ui::TreeView& tree_;
    db::Query categoryQuery_;    ///< designed name CategoriesTable
    db::Query subcategoryQuery_; ///< designed name SubCategoriesTable

    // Tables indexed by id (1..2000) and by tree position (0..1999). Later loads
    // overwrite entries; nothing clears them.
    std::vector<std::string> categoryIdText_, categoryName_, categorySql_;
    std::vector<std::string> subcategoryParentText_, subcategoryName_, subcategorySql_;
    std::vector<std::string> nodeName_, nodeSql_;
    int markedCategoryNode_ = -1;
};

} // namespace browse
