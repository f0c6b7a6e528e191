// The Newest Videos and Special Interest pages against the test catalogue: topic
// buttons, paging, result pages and what bad rows and a vanishing server do.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "browse/FeaturePages.h"
#include "browse/Topics.h"
#include "catalogue/CatalogueServer.h"
#include "support/ProgramTest.h"
#include "ui/Image.h"
#include "ui/Menu.h"
#include "ui/PageControl.h"
#include "ui/Widgets.h"

namespace {

class Pages : public testsupport::ProgramTest {
  protected:
    const std::string& caption(const std::string& name) {
        return app->findControl(name)->caption();
    }
    nlohmann::json slot(const char* table, int n) { return app->state().get(table)[n - 1]; }
    std::string title(const char* table, int n) { return slot(table, n)["title"]; }
    bool hasPicture(const std::string& name) {
        return !dynamic_cast<ui::Image&>(*app->findControl(name)).picture()->empty();
    }
    browse::FeaturePages& pages() { return form->pages(); }
    /// A result statement shown as the category list shows one, from its first window.
    void showResults(const std::string& base) {
        app->dispatch([&] { pages().showResultStatement("Results", base); });
    }
    /// The user chooses a tab of the main page control (only a shown page takes clicks).
    void showTab(int index) {
        ui::EventArgs args;
        args.index = index;
        event("suiPageControl1", ui::Event::TabActive, args);
    }
    /// Titles of the topic's rows at `offset`, straight from the catalogue.
    std::vector<std::string> expectedTitles(int topic, int offset, int count = 8) {
        const std::string sql =
            state<std::vector<std::string>>("featureTopicSql")[static_cast<std::size_t>(topic - 1)];
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
    ASSERT_GE(state<int>("featureTopicCount"), 11);
    click("suiImageButton7"); // page on, then back to the topic with its button
    EXPECT_EQ(state<int>("featureOffset"), 8);
    click("querybutton3");
    EXPECT_EQ(state<int>("featureOffset"), 0);
    EXPECT_EQ(state<int>("featureTopicIndex"), 3);
    EXPECT_EQ(caption("suiTabSheet8"), state<std::vector<std::string>>("featureTopicCaption")[2]);
    const auto titles = expectedTitles(3, 0);
    ASSERT_FALSE(titles.empty());
    EXPECT_EQ(title("featureSlots", 1), titles[0]);
    EXPECT_EQ(caption("featurepic1caption"), titles[0].substr(0, 21));
    EXPECT_EQ(app->findControl("featurepic1")->hint(), titles[0]);

    click("querybutton11");
    EXPECT_EQ(state<int>("featureTopicIndex"), 11);
    // A button past the list's end shows topic 1: the list is loaded again with
    // eight topics.
    saveRows("qzrbackup.videoqueryfeature");
    root().execute(
        "DELETE FROM qzrbackup.videoqueryfeature WHERE id NOT IN (SELECT id FROM (SELECT id FROM "
        "qzrbackup.videoqueryfeature ORDER BY id LIMIT 8) AS firstEight)");
    app->dispatch(
        [&] { dynamic_cast<ui::MenuItem&>(*app->findControl("ZorvexOnline")).onClick(); });
    ASSERT_EQ(state<int>("featureTopicCount"), 8);
    click("querybutton10");
    EXPECT_EQ(state<int>("featureTopicIndex"), 1);

    // With ten special topics, the eleventh button shows the first.
    ASSERT_EQ(state<int>("specialTopicCount"), 10);
    click("Specialbutton11");
    EXPECT_EQ(state<int>("specialTopicIndex"), 1);
    EXPECT_EQ(caption("suiTabSheet9"), state<std::vector<std::string>>("specialTopicCaption")[0]);
    EXPECT_TRUE(errors().empty());
}

TEST_F(Pages, PagingMovesByEightAndNeverBelowZero) {
    startOnline();
    const auto firstPage = title("featureSlots", 1);
    click("suiImageButton6"); // previous at offset 0: the same window again
    EXPECT_EQ(state<int>("featureOffset"), 0);
    EXPECT_EQ(title("featureSlots", 1), firstPage);
    click("suiImageButton7");
    click("suiImageButton7");
    EXPECT_EQ(state<int>("featureOffset"), 16);
    EXPECT_EQ(state<std::string>("pageOffsetText"), "16");
    EXPECT_EQ(title("featureSlots", 1), expectedTitles(1, 16)[0]);
    click("suiImageButton6");
    EXPECT_EQ(state<int>("featureOffset"), 8);

    showTab(3);
    click("suiImageButton5");
    EXPECT_EQ(state<int>("specialOffset"), 8);
    click("suiImageButton4");
    click("suiImageButton4");
    EXPECT_EQ(state<int>("specialOffset"), 0);
}

TEST_F(Pages, PagingPastTheEndEmptiesCaptionsButNewestKeepsItsPictures) {
    // The first topic of each page holds exactly eight rows, so the next page
    // lies past its end.
    const std::string eightRows =
        "SELECT * FROM videosnap WHERE recnum IN (SELECT recnum FROM (SELECT recnum "
        "FROM videosnap ORDER BY recnum LIMIT 8) AS firstEight) ORDER BY recnum";
    for (const char* table : {"qzrbackup.videoqueryfeature", "qzrbackup.videospecialfeature"}) {
        saveRows(table);
        root().execute(std::string("UPDATE ") + table + " SET videoquerysql = '" + eightRows +
                       "' ORDER BY id LIMIT 1");
    }
    startOnline();
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
    root().execute(
        "UPDATE qzrbackup.videoqueryfeature SET videoquerysql = 'SELEC broken FROM nowhere' "
        "WHERE id = (SELECT id FROM qzrbackup.videoqueryfeature_saved ORDER BY id LIMIT 1,1)");
    startOnline();
    EXPECT_TRUE(hasPicture("featurepic1"));
    click("querybutton2");
    EXPECT_EQ(state<int>("featureTopicIndex"), 2);
    EXPECT_EQ(caption("featurepic1caption"), "");
    EXPECT_TRUE(hasPicture("featurepic1")); // the previous fill's pictures stay
    EXPECT_TRUE(errors().empty());
    EXPECT_FALSE(app->state().get("catalogueConnected").get<bool>());
}

TEST_F(Pages, ABadThumbnailIsReportedEndsTheFillAndPagingGoesOn) {
    startOnline();
    const std::string recnum = slot("featureSlots", 3)["recnum"];
    saveRows("halden.videosnap", "recnum = " + recnum);
    root().execute("UPDATE halden.videosnap SET pictureblob = 'not a picture' WHERE recnum = " +
                   recnum);
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
    EXPECT_EQ(state<int>("featureOffset"), 8);
    EXPECT_NE(caption("featurepic4caption"), "");
    EXPECT_EQ(errors().size(), 1u);
}

TEST_F(Pages, NullMediaLinkBecomesEmptyText) {
    startOnline();
    const std::string recnum = slot("featureSlots", 2)["recnum"];
    saveRows("halden.videosnap", "recnum = " + recnum);
    root().execute(
        "UPDATE halden.videosnap SET medialink = NULL, rssitemtitle = '' WHERE recnum = " + recnum);
    click("suiImageButton6");
    EXPECT_EQ(slot("featureSlots", 2)["mediaLink"], "");
    EXPECT_EQ(slot("featureSlots", 2)["title"], "");
    EXPECT_EQ(caption("featurepic2caption"), "");
    EXPECT_TRUE(errors().empty());
}

TEST_F(Pages, ALostCatalogueIsReportedOncePerActionAndThePagesComeBackWithIt) {
    startOnline();
    const auto before = app->state().get("featureSlots");
    const std::string firstCaption = caption("featurepic1caption");
    auto& settings = form->catalogueServer().connection().settings();
    const unsigned port = settings.port;
    settings.port = 1; // the server is gone
    auto expectOneMoreLostMessage = [&](std::size_t count) {
        std::string all;
        for (const auto& e : errors())
            all += e + "\n";
        ASSERT_EQ(errors().size(), count) << all;
        EXPECT_EQ(errors().back().rfind("Dataset server could not connect: ", 0), 0u)
            << errors().back();
    };
    click("suiImageButton7");
    expectOneMoreLostMessage(1);
    // The action ended before it changed anything: the page keeps what it showed.
    EXPECT_EQ(caption("featurepic1caption"), firstCaption);
    EXPECT_EQ(app->state().get("featureSlots"), before);
    EXPECT_TRUE(hasPicture("featurepic1"));
    click("querybutton2");
    expectOneMoreLostMessage(2);
    showTab(3);
    click("suiImageButton5");
    expectOneMoreLostMessage(3);
    event("videosidebarslide", ui::Event::Pop);
    expectOneMoreLostMessage(4);
    EXPECT_FALSE(app->state().get("catalogueConnected").get<bool>());

    // Nothing moved: the next page after the server's return is the second.
    EXPECT_EQ(state<int>("featureOffset"), 0);
    EXPECT_EQ(state<int>("featureTopicIndex"), 1);
    settings.port = port;
    showTab(2);
    click("suiImageButton7");
    EXPECT_EQ(errors().size(), 4u);
    EXPECT_EQ(state<int>("featureOffset"), 8);
    EXPECT_EQ(title("featureSlots", 1), expectedTitles(1, 8)[0]);
}

TEST_F(Pages, ResultPagesCountPageAndIgnoreRowsBeyondTheTable) {
    startOnline();
    // A statement whose own window returns 20 rows: the appended window is
    // commented out.
    showResults("SELECT * FROM videosnap ORDER BY recnum LIMIT 20 -- ");
    EXPECT_TRUE(errors().empty());
    EXPECT_TRUE(state<bool>("resultQueryShown"));
    EXPECT_EQ(caption("resultsLabel"), "Pages 0 - 20");
    EXPECT_TRUE(app->findControl("resultsLabel")->visible());
    const auto firstSixteen = app->state().get("featureSlots");
    EXPECT_NE(firstSixteen[15]["title"], "");

    // Previous in result mode at offset 0 runs nothing.
    click("suiImageButton6");
    EXPECT_EQ(state<int>("resultQueryOffset"), 0);
    click("suiImageButton7");
    EXPECT_EQ(state<int>("resultQueryOffset"), 8);
    EXPECT_EQ(caption("resultsLabel"), "Pages 8 - 28");

    // No rows: the box text tells what found nothing.
    showResults("SELECT * FROM videosnap WHERE recnum < 0 LIMIT");
    EXPECT_EQ(caption("NoResults"), "No Results on Enter Search Request");
    EXPECT_TRUE(app->findControl("NoResults")->visible());
    EXPECT_FALSE(app->findControl("featurepic1")->visible());

    // A failing result statement reaches the user, from the arrows too.
    showResults("SELEC nothing");
    ASSERT_EQ(errors().size(), 1u);
    click("suiImageButton7");
    ASSERT_EQ(errors().size(), 2u);
    EXPECT_FALSE(app->state().get("catalogueConnected").get<bool>());
    // A topic returns the page to topic mode.
    click("querybutton1");
    EXPECT_FALSE(state<bool>("resultQueryShown"));
    EXPECT_FALSE(app->findControl("NoResults")->visible());
}

TEST_F(Pages, TheEleventhTopicButtonWaitsWhileTheTopicListIsOpen) {
    startOnline();
    for (int i = 0; i < 5; ++i)
        click("suiImageButton7");
    // The list is being loaded: its component stays open until the connection closes.
    app->dispatch([&] { form->topics().LoadFeatureTopics(); });
    EXPECT_TRUE(app->state().get("topicListOpen").get<bool>());
    click("querybutton11");
    EXPECT_EQ(state<int>("featureOffset"), 40);
    form->catalogueServer().CloseCatalogue();
    EXPECT_FALSE(app->state().get("topicListOpen").get<bool>());
    click("querybutton11");
    EXPECT_EQ(state<int>("featureOffset"), 0);
}

TEST_F(Pages, LibrarySearchPagesWithItsOwnStatementOnBothPages) {
    startOnline();
    auto& box = dynamic_cast<ui::Edit&>(*app->findControl("sqlsearchedit"));
    box.setText("news \"quoted\" 100%");
    app->dispatch([&] {
        form->catalogueServer().Bracket(
            [&] { pages().FillFeaturePage(browse::PageMode::LibrarySearch); });
    });
    EXPECT_TRUE(state<bool>("searchResultsShown"));
    EXPECT_EQ(state<int>("featureOffset"), 0);
    EXPECT_NE(state<nlohmann::json>("imageSearchSql")["tail"].get<std::string>().find(
                  "ORDER BY SCORE DESC LIMIT 0,8"),
              std::string::npos);
    click("suiImageButton7");
    EXPECT_NE(state<nlohmann::json>("imageSearchSql")["tail"].get<std::string>().find(
                  "ORDER BY recnum DESC LIMIT 8,8"),
              std::string::npos);
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
        root().execute(
            "INSERT INTO qzrbackup.videoqueryfeature (videoquerycaption, videoquerysql) VALUES "
            "('Extra topic " +
            std::to_string(i) + "', 'SELECT * FROM videosnap ORDER BY recnum')");
    root().execute(
        "INSERT INTO qzrbackup.sidetab (sidecaption, sidequery) VALUES ('Fourth', 'SELECT 1'), "
        "('Fifth', 'SELECT 2')");
    startOnline();
    EXPECT_TRUE(errors().empty());
    EXPECT_EQ(state<int>("featureTopicCount"), 20);
    EXPECT_EQ(app->state().get("featureTopicCaption").size(), 20u);
    EXPECT_EQ(app->state().get("sideTabCaption").size(), 3u);
    EXPECT_EQ(app->state().get("sideTabCaption")[2],
              scalar("SELECT sidecaption FROM qzrbackup.sidetab LIMIT 2,1"));
    // The twelfth button shows the twelfth topic; paging still wraps within the twenty.
    click("querybutton12");
    EXPECT_EQ(state<int>("featureTopicIndex"), 12);
}

} // namespace
