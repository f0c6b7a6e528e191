// The category tree and the global settings table against the test catalogue,
// including rows the tables were never meant to hold.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "app/OnlineMode.h"
#include "browse/Categories.h"
#include "browse/FeaturePages.h"
#include "db/Query.h"
#include "support/ProgramTest.h"
#include "ui/Menu.h"
#include "ui/PageControl.h"
#include "ui/TreeView.h"
#include "ui/Widgets.h"

namespace {

class CategoryTree : public testsupport::ProgramTest {
  protected:
    ui::TreeView& tree() { return dynamic_cast<ui::TreeView&>(*app->findControl("CatList")); }
    void doubleClick(int node) {
        tree().setSelected(node);
        event("CatList", ui::Event::DblClick);
    }
    int nodeNamed(const std::string& name) {
        for (int i = 0; i < tree().count(); ++i)
            if (tree().node(i).text == name)
                return i;
        return -1;
    }
    const std::string& caption(const std::string& name) {
        return app->findControl(name)->caption();
    }
};

TEST_F(CategoryTree, FollowsTheIdsWithChildrenUnderTheirParent) {
    startOnline();
    // Expected order straight from the tables: categories by id, each followed by
    // its subcategories by id.
    db::Query cats(root(), "qzrbackup");
    cats.setSql("SELECT catid, catname FROM categories ORDER BY catid");
    cats.open();
    std::vector<std::string> expected;
    for (; !cats.eof(); cats.next()) {
        expected.push_back(cats.field(1).text());
        db::Query subs(root(), "qzrbackup");
        subs.setSql("SELECT subcatname FROM subcategories WHERE catid = " + cats.field(0).text() +
                    " ORDER BY subcatid");
        subs.open();
        for (; !subs.eof(); subs.next())
            expected.push_back(subs.field(0).text());
    }
    ASSERT_EQ(tree().count(), static_cast<int>(expected.size()));
    for (int i = 0; i < tree().count(); ++i) {
        EXPECT_EQ(tree().node(i).text, expected[static_cast<std::size_t>(i)]) << i;
        EXPECT_EQ(tree().node(i).imageIndex, 2);
    }
    EXPECT_TRUE(errors().empty());
}

TEST_F(CategoryTree, DoubleClickShowsTheEntrysVideosAndMarksIt) {
    startOnline();
    ASSERT_GT(tree().count(), 2);
    const int sub = [&] {
        for (int i = 0; i < tree().count(); ++i)
            if (tree().node(i).parent >= 0)
                return i;
        return -1;
    }();
    ASSERT_GE(sub, 0);
    doubleClick(0);
    EXPECT_EQ(tree().node(0).imageIndex, 3);
    EXPECT_EQ(caption("suiTabSheet8"), tree().node(0).text);
    EXPECT_TRUE(state<bool>("resultQueryShown"));
    EXPECT_EQ(caption("resultsLabel").rfind("Pages 0 - ", 0), 0u);
    // The active tab stays where it was.
    EXPECT_EQ(dynamic_cast<ui::PageControl&>(*app->findControl("suiPageControl1")).activeIndex(),
              2);

    click("suiImageButton7");
    EXPECT_EQ(state<int>("resultQueryOffset"), 8);
    doubleClick(0); // the same node again starts over
    EXPECT_EQ(state<int>("resultQueryOffset"), 0);

    doubleClick(sub);
    EXPECT_EQ(tree().node(0).imageIndex, 2);
    EXPECT_EQ(tree().node(sub).imageIndex, 3);
    EXPECT_EQ(app->state().get("resultQueryBase"), app->state().get("categoryNodes")[sub]["sql"]);
    EXPECT_NE(app->state().get("resultQueryBase"),
              app->state().get("categoryNodes")[tree().node(sub).parent]["sql"]);
    EXPECT_TRUE(errors().empty());

    // Nothing selected: nothing happens.
    tree().setSelected(-1);
    event("CatList", ui::Event::DblClick);
    EXPECT_EQ(tree().node(sub).imageIndex, 3);
}

TEST_F(CategoryTree, IdsBeyondTheTablesAreIgnoredAndOrphansHidden) {
    saveRows("qzrbackup.categories");
    saveRows("qzrbackup.subcategories");
    root().execute("INSERT INTO qzrbackup.categories VALUES (2500, 'Far Away', 'SELECT * FROM "
                   "videosnap LIMIT')");
    root().execute("INSERT INTO qzrbackup.subcategories VALUES (1999, 1777, 'Orphan', 'SELECT 1')");
    root().execute("INSERT INTO qzrbackup.subcategories VALUES (3000, 1, 'Too High', 'SELECT 1')");
    startOnline();
    EXPECT_TRUE(form->online().onlineMode());
    EXPECT_EQ(nodeNamed("Far Away"), -1);
    EXPECT_EQ(nodeNamed("Orphan"), -1);
    EXPECT_EQ(nodeNamed("Too High"), -1);
    EXPECT_TRUE(errors().empty());
}

TEST_F(CategoryTree, RowsWhoseIdIsNotANumberAreSkippedAndReportedOnceAndTheLoadGoesOn) {
    saveRows("qzrbackup.categories");
    root().execute("ALTER TABLE qzrbackup.categories MODIFY catid VARCHAR(20) NOT NULL");
    atTearDown("ALTER TABLE qzrbackup.categories MODIFY catid INT NOT NULL");
    root().execute("INSERT INTO qzrbackup.categories VALUES ('abc', 'Broken', 'SELECT 1'), "
                   "('', 'Nameless', 'SELECT 1'), ('99999999999', 'Too Large', 'SELECT 1')");
    const int good = std::stoi(
        scalar("SELECT COUNT(*) FROM qzrbackup.categories WHERE catid REGEXP '^[0-9]{1,4}$'"));
    start();
    runChecks();
    EXPECT_TRUE(form->online().onlineMode());
    EXPECT_TRUE(dynamic_cast<ui::Button&>(*app->findControl("suiImageButton1")).enabled());
    ASSERT_EQ(errors().size(), 1u);
    const std::string message = errors()[0];
    EXPECT_NE(message.find("'abc' is not a valid integer value"), std::string::npos) << message;
    EXPECT_NE(message.find("'' is not a valid integer value"), std::string::npos) << message;
    EXPECT_NE(message.find("'99999999999' is not a valid integer value"), std::string::npos)
        << message;
    EXPECT_EQ(nodeNamed("Broken"), -1);
    EXPECT_EQ(nodeNamed("Too Large"), -1);
    int roots = 0;
    for (int i = 0; i < tree().count(); ++i)
        roots += tree().node(i).parent < 0 ? 1 : 0;
    EXPECT_EQ(roots, good);
    EXPECT_FALSE(app->state().get("catalogueConnected").get<bool>());

    // A second load reports its problems again, once.
    app->dispatch(
        [&] { dynamic_cast<ui::MenuItem&>(*app->findControl("ZorvexOnline")).onClick(); });
    EXPECT_EQ(errors().size(), 2u);
}

TEST_F(CategoryTree, GlobalSettingsFillLabelsAndPiecesAndBadIdsStopTheLoad) {
    saveRows("halden.zorvex_global");
    root().execute("DELETE FROM halden.zorvex_global WHERE id = 7");
    root().execute(
        "INSERT INTO halden.zorvex_global VALUES (3, 'later row', 'Second description wins')");
    root().execute("INSERT INTO halden.zorvex_global VALUES (99, 'unknown', 'ignored')");
    startOnline();
    EXPECT_EQ(caption("descdis1"), "Second description wins");
    EXPECT_EQ(app->state().get("infoDefaults")[1], "Second description wins");
    EXPECT_EQ(caption("titlestatus"), "Playing"); // no row 7: the design caption stays
    EXPECT_NE(app->state().get("imageSearchSqlParts")[0], "");
    EXPECT_NE(app->state().get("textSearchSqlParts")[3], "");
    EXPECT_TRUE(errors().empty());
}

TEST_F(CategoryTree, AGlobalSettingWithATextIdIsSkippedAndTheLoadGoesOn) {
    saveRows("halden.zorvex_global");
    root().execute("ALTER TABLE halden.zorvex_global MODIFY id VARCHAR(20) NOT NULL");
    atTearDown("ALTER TABLE halden.zorvex_global MODIFY id INT NOT NULL");
    root().execute("INSERT INTO halden.zorvex_global VALUES ('x', 'x', 'y')");
    start();
    runChecks();
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_NE(errors()[0].find("'x' is not a valid integer value"), std::string::npos)
        << errors()[0];
    EXPECT_TRUE(form->online().onlineMode());
    EXPECT_TRUE(dynamic_cast<ui::Button&>(*app->findControl("suiImageButton1")).enabled());
    // The good rows were read all the same.
    EXPECT_NE(app->state().get("textSearchSqlParts")[3], "");
}

} // namespace
