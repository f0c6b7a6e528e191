#include "browse/Categories.h"

#include <nlohmann/json.hpp>

#include "browse/FeaturePages.h"
#include "catalogue/CatalogueServer.h"
#include "catalogue/RowProblems.h"
#include "ui/Application.h"
#include "ui/Convert.h"
#include "ui/Form.h"
#include "ui/TreeView.h"

namespace browse {

namespace {
constexpr int kNodeImage = 2;
constexpr int kMarkedImage = 3;

bool validId(int id) {
    return id >= 1 && id <= Categories::kCapacity;
}

// The id of a row, or 0 (no place in the tables) when it is not a number; the
// problem is recorded and the row skipped.
int idOf(const std::string& text, const char* what, catalogue::RowProblems& problems) {
    try {
        return ui::toInteger(text);
    } catch (const std::exception& e) {
        problems.add(std::string(what) + " skipped: " + e.what());
        return 0;
    }
}
} // namespace

Categories::Categories(ui::Form& form, catalogue::CatalogueServer& server, FeaturePages& pages)
    : form_(form), server_(server), pages_(pages), tree_(form.get<ui::TreeView>("CatList")),
      categoryQuery_(server.connection(), "qzrbackup"),
      subcategoryQuery_(server.connection(), "qzrbackup"), categoryIdText_(kCapacity + 1),
      categoryName_(kCapacity + 1), categorySql_(kCapacity + 1),
      subcategoryParentText_(kCapacity + 1), subcategoryName_(kCapacity + 1),
      subcategorySql_(kCapacity + 1), nodeName_(kCapacity), nodeSql_(kCapacity) {
    tree_.onDblClick = [this] { showChosenCategory(); };
    registerState();
}

void Categories::LoadCategories(catalogue::RowProblems& problems) {
    server_.OpenCatalogue();
    tree_.clear();
    markedCategoryNode_ = -1;

    int largestCategory = 0;
    auto& cats = categoryQuery_;
    cats.close();
    cats.setSql("SELECT * FROM categories ORDER BY catname ASC");
    cats.open();
    while (!cats.eof()) {
        const std::string id = cats.field("catid").text();
        const std::string name = cats.field("catname").text();
        const std::string sql = cats.field("catSQL").text();
        const int c = idOf(id, "A category", problems);
        if (validId(c)) {
            largestCategory = std::max(largestCategory, c);
            categoryIdText_[static_cast<std::size_t>(c)] = id;
            categoryName_[static_cast<std::size_t>(c)] = name;
            categorySql_[static_cast<std::size_t>(c)] = sql;
        }
        cats.next();
    }

    int largestSubcategory = 0;
    auto& subs = subcategoryQuery_;
    subs.close();
    subs.setSql("SELECT * FROM subcategories ORDER BY subcatname ASC");
    subs.open();
    while (!subs.eof()) {
        const std::string parent = subs.field("catid").text();
        const int s = idOf(subs.field("subcatid").text(), "A subcategory", problems);
        if (validId(s)) {
            largestSubcategory = std::max(largestSubcategory, s);
            subcategoryParentText_[static_cast<std::size_t>(s)] = parent;
            subcategoryName_[static_cast<std::size_t>(s)] = subs.field("subcatname").text();
            subcategorySql_[static_cast<std::size_t>(s)] = subs.field("subsql").text();
        }
        subs.next();
    }
    cats.close();
    subs.close();
    server_.CloseCatalogue();

    // The tree follows the ids: categories ascending, their subcategories ascending.
    auto addNode = [this](int parent, const std::string& name, const std::string& sql) {
        if (tree_.count() >= kCapacity)
            return -1;
        const int p = tree_.addNode(parent, name);
        nodeName_[static_cast<std::size_t>(p)] = name;
        nodeSql_[static_cast<std::size_t>(p)] = sql;
        return p;
    };
    for (int i = 1; i <= largestCategory; ++i) {
        const auto ci = static_cast<std::size_t>(i);
        if (categoryName_[ci].empty())
            continue;
        const int node = addNode(-1, categoryName_[ci], categorySql_[ci]);
        if (node < 0)
            break;
        for (int j = 1; j <= largestSubcategory; ++j) {
            const auto sj = static_cast<std::size_t>(j);
            if (!categoryIdText_[ci].empty() && subcategoryParentText_[sj] == categoryIdText_[ci]) {
                const int child = addNode(node, subcategoryName_[sj], subcategorySql_[sj]);
                if (child >= 0)
                    tree_.setImageIndex(child, kNodeImage);
            }
        }
        tree_.setImageIndex(node, kNodeImage);
    }
}

void Categories::showChosenCategory() {
    const int selected = tree_.selected();
    if (selected < 0)
        return;
    if (markedCategoryNode_ >= 0 && markedCategoryNode_ < tree_.count())
        tree_.setImageIndex(markedCategoryNode_, kNodeImage);
    markedCategoryNode_ = selected;
    tree_.setImageIndex(selected, kMarkedImage);
    const auto p = static_cast<std::size_t>(selected);
    pages_.showResultStatement(nodeName_[p], nodeSql_[p]);
}

void Categories::registerState() const {
    auto& r = form_.app().state();
    r.add("markedCategoryNode", [this] { return markedCategoryNode_; });
    r.add("categoryNodes", [this] {
        auto out = nlohmann::json::array();
        for (int i = 0; i < tree_.count(); ++i)
            out.push_back({{"name", nodeName_[static_cast<std::size_t>(i)]},
                           {"sql", nodeSql_[static_cast<std::size_t>(i)]}});
        return out;
    });
}

} // namespace browse
