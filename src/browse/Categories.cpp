#include "browse/Categories.h"

#include "app/Tmainform.h"
#include "browse/FeaturePages.h"
#include "catalogue/Catalogue.h"
#include "ui/Convert.h"
#include "ui/PageControl.h"
#include "ui/TreeView.h"

namespace browse {

namespace {
constexpr int kNodeImage = 2;
constexpr int kMarkedImage = 3;

bool validId(int id) { return id >= 1 && id <= Categories::kCapacity; }
} // namespace

Categories::Categories(app::Tmainform& form, catalogue::Catalogue& catalogue, FeaturePages& pages)
    : categoryIdText(kCapacity + 1), categoryName(kCapacity + 1), categorySql(kCapacity + 1),
      subcategoryParentText(kCapacity + 1), subcategoryName(kCapacity + 1), subcategorySql(kCapacity + 1),
      nodeName(kCapacity), nodeSql(kCapacity), form_(form), catalogue_(catalogue), pages_(pages),
      tree_(form.get<ui::TreeView>("CatList")) {
    tree_.onDblClick = [this] { CatListDblClick(); };
}

void Categories::LoadCategories() {
    catalogue_.OpenCatalogue();
    tree_.clear();
    markedCategoryNode = -1;

    int largestCategory = 0;
    auto& cats = catalogue_.CategoriesTable;
    cats.close();
    cats.setSql("SELECT * FROM categories ORDER BY catname ASC");
    cats.open();
    while (!cats.eof()) {
        const std::string id = cats.field("catid").text();
        const std::string name = cats.field("catname").text();
        const std::string sql = cats.field("catSQL").text();
        const int c = ui::toInteger(id);
        if (validId(c)) {
            largestCategory = std::max(largestCategory, c);
            categoryIdText[static_cast<std::size_t>(c)] = id;
            categoryName[static_cast<std::size_t>(c)] = name;
            categorySql[static_cast<std::size_t>(c)] = sql;
        }
        cats.next();
    }

    int largestSubcategory = 0;
    auto& subs = catalogue_.SubCategoriesTable;
    subs.close();
    subs.setSql("SELECT * FROM subcategories ORDER BY subcatname ASC");
    subs.open();
    while (!subs.eof()) {
        const std::string parent = subs.field("catid").text();
        const int s = ui::toInteger(subs.field("subcatid").text());
        if (validId(s)) {
            largestSubcategory = std::max(largestSubcategory, s);
            subcategoryParentText[static_cast<std::size_t>(s)] = parent;
            subcategoryName[static_cast<std::size_t>(s)] = subs.field("subcatname").text();
            subcategorySql[static_cast<std::size_t>(s)] = subs.field("subsql").text();
        }
        subs.next();
    }
    cats.close();
    subs.close();
    catalogue_.CloseCatalogue();

    // The tree follows the ids: categories ascending, their subcategories ascending.
    auto addNode = [this](int parent, const std::string& name, const std::string& sql) {
        if (tree_.count() >= kCapacity)
            return -1;
        const int p = tree_.addNode(parent, name);
        nodeName[static_cast<std::size_t>(p)] = name;
        nodeSql[static_cast<std::size_t>(p)] = sql;
        return p;
    };
    for (int i = 1; i <= largestCategory; ++i) {
        const auto ci = static_cast<std::size_t>(i);
        if (categoryName[ci].empty())
            continue;
        const int node = addNode(-1, categoryName[ci], categorySql[ci]);
        if (node < 0)
            break;
        for (int j = 1; j <= largestSubcategory; ++j) {
            const auto sj = static_cast<std::size_t>(j);
            if (!categoryIdText[ci].empty() && subcategoryParentText[sj] == categoryIdText[ci]) {
                const int child = addNode(node, subcategoryName[sj], subcategorySql[sj]);
                if (child >= 0)
                    tree_.setImageIndex(child, kNodeImage);
            }
        }
        tree_.setImageIndex(node, kNodeImage);
    }
}

void Categories::CatListDblClick() {
    const int selected = tree_.selected();
    if (selected < 0)
        return;
    if (markedCategoryNode >= 0 && markedCategoryNode < tree_.count())
        tree_.setImageIndex(markedCategoryNode, kNodeImage);
    markedCategoryNode = selected;
    tree_.setImageIndex(selected, kMarkedImage);
    const auto p = static_cast<std::size_t>(selected);
    form_.get<ui::TabSheet>("suiTabSheet8").setCaption(nodeName[p]);
    pages_.resultQueryOffset = 0;
    pages_.resultQueryBase = nodeSql[p];
    pages_.FillResultPage(pages_.resultQueryBase + " " + "0" + ", 8");
}

} // namespace browse
