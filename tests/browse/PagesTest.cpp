// The Newest Videos and Special Interest pages against the test catalogue: topic
// buttons, paging, result pages and what bad rows and a vanishing server do.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "browse/FeaturePages.h"
#include "browse/Topics.h"
#include "catalogue/Catalogue.h"
#include "support/ProgramTest.h"
#include "ui/Image.h"
#include "ui/PageControl.h"
#include "ui/Widgets.h"

namespace {

class Pages : public testsupport::ProgramTest {
protected:
    const std::string& caption(const std::string& name) { return app->findControl(name)->caption(); }
    nlohmann::json slot(const char* table, int n) { return app->state().get(table)[n - 1]; }
    std::string title(const char* table, int n) { return slot(table, n)["title"]; }
    bool hasPicture(const std::string& name) {
        return !dynamic_cast<ui::Image&>(*app->findControl(name)).picture()->empty();
    }
    browse::FeaturePages& pages() { return form->pages(); }
    /// The user chooses a tab of the main page control (only a shown page takes clicks).
    void showTab(int index) {
        ui::EventArgs args;
        args.index = index;
        event("suiPageControl1", ui::Event::TabActive, args);
    }
    /// Titles of the topic's rows at `offset`, straight from the catalogue.
    std::vector<std::string> expectedTitles(int topic, int offset, int count = 8) {
        const std::string sql = pages().featureTopics.sql[static_cast<std::size_t>(topic)];
        std::vector<std::string> titles;
        db::Query q(root(), "halden");
        q.setSql(sql + " LIMIT " + std::to_string(offset) + "," + std::to_string(count));
        q.open();
        for (; !q.eof(); q.next())
            titles.push_back(q.field(8).text());
        return titles;
    }
};

TEST_F(Pages, TopicButtonsShowTheirTopicFromTheFirstPage) {
    startOnline();
    ASSERT_GE(pages().featureTopics.count, 11);
    click("suiImageButton7"); // page on, then back to the topic with its button
    EXPECT_EQ(pages().featureOffset, 8);
    click("querybutton3");
    EXPECT_EQ(pages().featureOffset, 0);
    EXPECT_EQ(pages().featureTopicIndex, 3);
    EXPECT_EQ(caption("suiTabSheet8"), pages().featureTopics.caption[3]);
    const auto titles = expectedTitles(3, 0);
    ASSERT_FALSE(titles.empty());
    EXPECT_EQ(title("featureSlots", 1), titles[0]);
    EXPECT_EQ(caption("featurepic1caption"), titles[0].substr(0, 21));
    EXPECT_EQ(app->findControl("featurepic1")->hint(), titles[0]);

    click("querybutton11");
    EXPECT_EQ(pages().featureTopicIndex, 11);
    // A button past the list's end shows topic 1.
    pages().featureTopics.count = 8;
    click("querybutton10");
    EXPECT_EQ(pages().featureTopicIndex, 1);

    // With ten special topics, the eleventh button shows the first.
    ASSERT_EQ(pages().specialTopics.count, 10);
    click("Specialbutton11");
    EXPECT_EQ(pages().specialTopicIndex, 1);
    EXPECT_EQ(caption("suiTabSheet9"), pages().specialTopics.caption[1]);
    EXPECT_TRUE(errors().empty());
}

TEST_F(Pages, PagingMovesByEightAndNeverBelowZero) {
    startOnline();
    const auto firstPage = title("featureSlots", 1);
    click("suiImageButton6"); // previous at offset 0: the same window again
    EXPECT_EQ(pages().featureOffset, 0);
    EXPECT_EQ(title("featureSlots", 1), firstPage);
    click("suiImageButton7");
    click("suiImageButton7");
    EXPECT_EQ(pages().featureOffset, 16);
    EXPECT_EQ(pages().pageOffsetText, "16");
    EXPECT_EQ(title("featureSlots", 1), expectedTitles(1, 16)[0]);
    click("suiImageButton6");
    EXPECT_EQ(pages().featureOffset, 8);

    showTab(3);
    click("suiImageButton5");
    EXPECT_EQ(pages().specialOffset, 8);
    click("suiImageButton4");
    click("suiImageButton4");
    EXPECT_EQ(pages().specialOffset, 0);
}

TEST_F(Pages, PagingPastTheEndEmptiesCaptionsButNewestKeepsItsPictures) {
    startOnline();
    pages().featureOffset = 1000000 - 8;
    pages().specialOffset = 1000000 - 8;
    const auto oldLink = slot("featureSlots", 1)["mediaLink"];
    click("suiImageButton7");
    showTab(3);
    click("suiImageButton5");
    for (int n = 1; n <= 8; ++n) {
        const auto s = std::to_string(n);
        EXPECT_EQ(caption("featurepic" + s + "caption"), "");
        EXPECT_EQ(app->findControl("featurepic" + s)->hint(), "");
        EXPECT_TRUE(hasPicture("featurepic" + s)) << n;
        EXPECT_FALSE(hasPicture("specialpic" + s)) << n;
        EXPECT_EQ(slot("featureSlots", n)["description"], "");
    }
    // Titles and links of the earlier fill stay in the slots.
    EXPECT_EQ(slot("featureSlots", 1)["mediaLink"], oldLink);
    EXPECT_TRUE(errors().empty());
}

TEST_F(Pages, ATopicWithABrokenStatementShowsNothingNewAndNoMessage) {
    saveRows("qzrbackup.videoqueryfeature");
    root().execute("UPDATE qzrbackup.videoqueryfeature SET videoquerysql = 'SELEC broken FROM nowhere' "
                   "WHERE id = (SELECT id FROM qzrbackup.videoqueryfeature_saved ORDER BY id LIMIT 1,1)");
    startOnline();
    EXPECT_TRUE(hasPicture("featurepic1"));
    click("querybutton2");
    EXPECT_EQ(pages().featureTopicIndex, 2);
    EXPECT_EQ(caption("featurepic1caption"), "");
    EXPECT_TRUE(hasPicture("featurepic1")); // the previous fill's pictures stay
    EXPECT_TRUE(errors().empty());
    EXPECT_FALSE(app->state().get("catalogueConnected").get<bool>());
}

TEST_F(Pages, ABadThumbnailIsReportedEndsTheFillAndPagingGoesOn) {
    startOnline();
    const std::string recnum = slot("featureSlots", 3)["recnum"];
    saveRows("halden.videosnap", "recnum = " + recnum);
    root().execute("UPDATE halden.videosnap SET pictureblob = 'not a picture' WHERE recnum = " + recnum);
    const auto slot4 = title("featureSlots", 4);

    click("suiImageButton6"); // the same window again, now with the bad picture in slot 3
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_NE(errors()[0].find("fea1.jpg"), std::string::npos) << errors()[0];
    EXPECT_NE(caption("featurepic2caption"), "");
    EXPECT_EQ(caption("featurepic3caption"), "");
    EXPECT_EQ(caption("featurepic4caption"), ""); // the fill ended at slot 3
    EXPECT_EQ(title("featureSlots", 4), slot4);

    // The connection was closed all the same, so the arrows still page.
    EXPECT_FALSE(app->state().get("catalogueConnected").get<bool>());
    click("suiImageButton7");
    EXPECT_EQ(pages().featureOffset, 8);
    EXPECT_NE(caption("featurepic4caption"), "");
    EXPECT_EQ(errors().size(), 1u);
}

TEST_F(Pages, NullMediaLinkBecomesEmptyText) {
    startOnline();
    const std::string recnum = slot("featureSlots", 2)["recnum"];
    saveRows("halden.videosnap", "recnum = " + recnum);
    root().execute("UPDATE halden.videosnap SET medialink = NULL, rssitemtitle = '' WHERE recnum = " + recnum);
    click("suiImageButton6");
    EXPECT_EQ(slot("featureSlots", 2)["mediaLink"], "");
    EXPECT_EQ(slot("featureSlots", 2)["title"], "");
    EXPECT_EQ(caption("featurepic2caption"), "");
    EXPECT_TRUE(errors().empty());
}

TEST_F(Pages, AServerThatGoesAwayLeavesThePageQuietlyThenComesBack) {
    startOnline();
    auto& settings = form->catalogue().MySQLServer1.settings();
    const unsigned port = settings.port;
    settings.port = 1;
    click("suiImageButton7");
    EXPECT_EQ(caption("featurepic1caption"), "");
    EXPECT_TRUE(hasPicture("featurepic1"));
    EXPECT_TRUE(errors().empty());
    settings.port = port;
    click("suiImageButton7");
    EXPECT_EQ(pages().featureOffset, 16);
    EXPECT_EQ(title("featureSlots", 1), expectedTitles(1, 16)[0]);
}

TEST_F(Pages, ResultPagesCountPageAndIgnoreRowsBeyondTheTable) {
    startOnline();
    // A statement whose own window returns 20 rows: the appended window is
    // commented out.
    pages().resultQueryBase = "SELECT * FROM videosnap ORDER BY recnum LIMIT 20 -- ";
    pages().resultQueryOffset = 0;
    app->dispatch([&] { pages().FillResultPage(pages().resultPageSql()); });
    EXPECT_TRUE(errors().empty());
    EXPECT_TRUE(pages().resultQueryShown);
    EXPECT_EQ(caption("resultsLabel"), "Pages 0 - 20");
    EXPECT_TRUE(app->findControl("resultsLabel")->visible());
    const auto firstSixteen = app->state().get("featureSlots");
    EXPECT_NE(firstSixteen[15]["title"], "");

    // Previous in result mode at offset 0 runs nothing.
    click("suiImageButton6");
    EXPECT_EQ(pages().resultQueryOffset, 0);
    click("suiImageButton7");
    EXPECT_EQ(pages().resultQueryOffset, 8);
    EXPECT_EQ(caption("resultsLabel"), "Pages 8 - 28");

    // No rows: the box text tells what found nothing.
    pages().resultQueryBase = "SELECT * FROM videosnap WHERE recnum < 0 LIMIT";
    pages().resultQueryOffset = 0;
    app->dispatch([&] { pages().FillResultPage(pages().resultPageSql()); });
    EXPECT_EQ(caption("NoResults"), "No Results on Enter Search Request");
    EXPECT_TRUE(app->findControl("NoResults")->visible());
    EXPECT_FALSE(app->findControl("featurepic1")->visible());

    // A failing result statement reaches the user, from the arrows too.
    pages().resultQueryBase = "SELEC nothing";
    click("suiImageButton7");
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_FALSE(app->state().get("catalogueConnected").get<bool>());
    // A topic returns the page to topic mode.
    click("querybutton1");
    EXPECT_FALSE(pages().resultQueryShown);
    EXPECT_FALSE(app->findControl("NoResults")->visible());
}

TEST_F(Pages, TheEleventhTopicButtonWaitsWhileTheTopicListIsOpen) {
    startOnline();
    auto& list = form->catalogue().peloraqueryfeaturesql;
    list.setSql("SELECT * FROM videoqueryfeature limit 0,25");
    list.open();
    EXPECT_TRUE(app->state().get("topicListOpen").get<bool>());
    pages().featureOffset = 40;
    click("querybutton11");
    EXPECT_EQ(pages().featureOffset, 40);
    form->catalogue().CloseCatalogue();
    EXPECT_FALSE(app->state().get("topicListOpen").get<bool>());
    click("querybutton11");
    EXPECT_EQ(pages().featureOffset, 0);
}

TEST_F(Pages, LibrarySearchPagesWithItsOwnStatementOnBothPages) {
    startOnline();
    auto& box = dynamic_cast<ui::Edit&>(*app->findControl("sqlsearchedit"));
    box.setText("news \"quoted\" 100%");
    app->dispatch([&] { form->catalogue().Bracket([&] { pages().FillFeaturePage("videosnapsearch"); }); });
    EXPECT_TRUE(pages().searchResultsShown);
    EXPECT_EQ(pages().featureOffset, 0);
    EXPECT_NE(pages().imageSearchSqlTail.find("ORDER BY SCORE DESC LIMIT 0,8"), std::string::npos);
    click("suiImageButton7");
    EXPECT_NE(pages().imageSearchSqlTail.find("ORDER BY recnum DESC LIMIT 8,8"), std::string::npos);
    // Special Interest pages a LIKE search of the box; the quotes no longer break it.
    showTab(3);
    click("suiImageButton5");
    EXPECT_EQ(caption("suiTabSheet9"), "news \"quoted\" 100%");
    EXPECT_TRUE(errors().empty());
}

TEST_F(Pages, ListsKeepTheirCapacityWhenTheServerReturnsMore) {
    saveRows("qzrbackup.videoqueryfeature");
    saveRows("qzrbackup.sidetab");
    // 25 topics (the statement's own window) and five side tabs.
    for (int i = 0; i < 13; ++i)
        root().execute("INSERT INTO qzrbackup.videoqueryfeature (videoquerycaption, videoquerysql) VALUES "
                       "('Extra topic " + std::to_string(i) + "', 'SELECT * FROM videosnap ORDER BY recnum')");
    root().execute("INSERT INTO qzrbackup.sidetab (sidecaption, sidequery) VALUES ('Fourth', 'SELECT 1'), "
                   "('Fifth', 'SELECT 2')");
    startOnline();
    EXPECT_TRUE(errors().empty());
    EXPECT_EQ(pages().featureTopics.count, 20);
    EXPECT_EQ(app->state().get("featureTopicCaption").size(), 20u);
    EXPECT_EQ(app->state().get("sideTabCaption").size(), 3u);
    EXPECT_EQ(app->state().get("sideTabCaption")[2], scalar("SELECT sidecaption FROM qzrbackup.sidetab LIMIT 2,1"));
    // The twelfth button shows the twelfth topic; paging still wraps within the twenty.
    click("querybutton12");
    EXPECT_EQ(pages().featureTopicIndex, 12);
}

} // namespace
