// The World and Aus News side tabs against the test catalogue: the first fills from
// the side bar and the tab choice, paging by sixteen, short pages, bad pictures, and
// pointing at thumbnails that real fills put there.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "automation/Channel.h"
#include "browse/SideTabs.h"
#include "browse/Topics.h"
#include "catalogue/Selection.h"
#include "db/Query.h"
#include "support/ProgramTest.h"
#include "ui/Image.h"
#include "ui/PageControl.h"
#include "ui/Utf8.h"
#include "ui/Widgets.h"

namespace {

struct Row {
    std::string title, description, site, recnum, link;
};

class SideTabs : public testsupport::ProgramTest {
  protected:
    const std::string& caption(const std::string& name) {
        return app->findControl(name)->caption();
    }
    ui::Image& image(const std::string& name) {
        return dynamic_cast<ui::Image&>(*app->findControl(name));
    }
    std::vector<std::uint8_t> pixels(const std::string& name) {
        return image(name).picture()->rgb();
    }
    nlohmann::json slot(const char* table, int n) { return app->state().get(table)[n - 1]; }
    std::string title(const char* table, int n) { return slot(table, n)["title"]; }
    browse::SideTabs& tabs() { return form->sideTabs(); }
    bool connected() { return app->state().get("catalogueConnected").get<bool>(); }

    void popSideBar() { event("videosidebarslide", ui::Event::Pop); }
    void chooseSideTab(int index) {
        ui::EventArgs args;
        args.index = index;
        event("sidepage", ui::Event::TabActive, args);
    }
    void pointAt(const std::string& name) {
        ui::EventArgs args;
        args.x = 5;
        args.y = 5;
        event(name, ui::Event::MouseMove, args);
    }

    /// The rows tab `entry` (1 World, 2 Aus News) shows at `offset`, straight from
    /// the catalogue.
    std::vector<Row> rows(int entry, int offset) {
        const auto sql =
            state<std::vector<std::string>>("sideTabSql")[static_cast<std::size_t>(entry - 1)] +
            " " + std::to_string(offset) + ",16";
        std::vector<Row> out;
        db::Query q(root(), "halden");
        q.setSql(sql);
        q.open();
        for (; !q.eof(); q.next())
            out.push_back({q.field("rssitemtitle").text(), q.field("rssdesc").text(),
                           q.field("rssurl").text(), q.field("recnum").text(),
                           q.field("medialink").text()});
        return out;
    }
    void expectSlots(const char* table, const std::string& pic, const std::vector<Row>& expected,
                     int first = 1) {
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const int n = first + static_cast<int>(i);
            SCOPED_TRACE(pic + std::to_string(n));
            const auto s = slot(table, n);
            EXPECT_EQ(s["title"], expected[i].title);
            EXPECT_EQ(s["description"], expected[i].description);
            EXPECT_EQ(s["siteUrl"], expected[i].site);
            EXPECT_EQ(s["recnum"], expected[i].recnum);
            EXPECT_EQ(s["mediaLink"], expected[i].link);
            EXPECT_EQ(image(pic + std::to_string(n)).hint(), expected[i].title);
            EXPECT_TRUE(image(pic + std::to_string(n)).visible());
        }
    }
    /// Replaces the pictures of the rows `recnums` ("1, 2") with bytes that are no
    /// JPEG, until TearDown. Call once per test: the saved copy is one table.
    void spoilPictures(const std::string& recnums) {
        const std::string where = "recnum IN (" + recnums + ")";
        saveRows("halden.videosnap", where);
        root().execute("UPDATE halden.videosnap SET pictureblob = 'not a picture' WHERE " + where);
    }
};

TEST_F(SideTabs, TheSideBarFillsTheWorldTabOnceAndTheStripsPageBySixteen) {
    startOnline();
    EXPECT_FALSE(app->state().get("sideBarFilled").get<bool>());
    EXPECT_FALSE(image("videopic1").visible());

    popSideBar();
    EXPECT_TRUE(app->state().get("sideBarFilled").get<bool>());
    const auto first = rows(1, 0);
    ASSERT_EQ(first.size(), 16u);
    expectSlots("worldSlots", "videopic", first);
    EXPECT_EQ(caption("suiTabSheet6"), state<std::vector<std::string>>("sideTabCaption")[0]);
    EXPECT_EQ(caption("suiTabSheet6"), "World");
    EXPECT_FALSE(connected());

    click("suiImageButton8");
    EXPECT_EQ(app->state().get("worldOffset"), 16);
    expectSlots("worldSlots", "videopic", rows(1, 16));
    // The side bar comes out again without filling the tab again.
    popSideBar();
    EXPECT_EQ(state<int>("worldOffset"), 16);
    EXPECT_EQ(title("worldSlots", 1), rows(1, 16)[0].title);

    click("suiImageButton10");
    EXPECT_EQ(state<int>("worldOffset"), 0);
    expectSlots("worldSlots", "videopic", first);
    // At offset 0 the left strip loads the first page again.
    image("videopic1").clearPicture();
    click("suiImageButton10");
    EXPECT_EQ(state<int>("worldOffset"), 0);
    EXPECT_FALSE(image("videopic1").picture()->empty());
    EXPECT_TRUE(errors().empty());
}

TEST_F(SideTabs, TheFirstChoiceOfAusNewsShowsItsFirstPageAndLaterChoicesKeepThePage) {
    startOnline();
    EXPECT_FALSE(app->state().get("newsPaged").get<bool>());
    chooseSideTab(1);
    EXPECT_TRUE(app->state().get("newsPaged").get<bool>());
    EXPECT_TRUE(app->state().get("newsTabChosen").get<bool>());
    EXPECT_EQ(app->state().get("newsOffset"), 0);
    expectSlots("newsSlots", "newspic", rows(2, 0));
    EXPECT_EQ(caption("suiTabSheet5"), "Aus News");
    EXPECT_FALSE(connected());

    click("suiImageButton11");
    EXPECT_EQ(state<int>("newsOffset"), 16);
    const auto second = rows(2, 16);
    expectSlots("newsSlots", "newspic", second);
    chooseSideTab(0);
    chooseSideTab(1);
    EXPECT_EQ(state<int>("newsOffset"), 16);
    EXPECT_EQ(title("newsSlots", 1), second[0].title);

    click("suiImageButton12");
    click("suiImageButton12");
    EXPECT_EQ(state<int>("newsOffset"), 0);
    expectSlots("newsSlots", "newspic", rows(2, 0));
    EXPECT_TRUE(errors().empty());
}

TEST_F(SideTabs, TheAusNewsRightStripShowsTheFirstPageTheFirstTime) {
    startOnline();
    // The tab is on screen without its choice having run (as after a choice that
    // failed): the right strip still starts at the first page.
    form->get<ui::PageControl>("sidepage").setActiveIndex(1);
    click("suiImageButton11");
    EXPECT_EQ(state<int>("newsOffset"), 0);
    EXPECT_TRUE(state<bool>("newsPaged"));
    const auto first = rows(2, 0);
    expectSlots("newsSlots", "newspic", first);
    click("suiImageButton11");
    EXPECT_EQ(state<int>("newsOffset"), 16);
    EXPECT_TRUE(errors().empty());
}

TEST_F(SideTabs, ThroughTheAutomationChannelOnlyTheTabChoiceReachesTheHiddenNextPageButton) {
    startOnline();
    automation::Channel channel(*app);
    auto send = [&](const nlohmann::json& command) {
        nlohmann::json reply;
        channel.submit(nlohmann::json{{"id", 1}, {"command", command}}.dump(),
                       [&](const std::string& line) { reply = nlohmann::json::parse(line); });
        return reply.value("error", "");
    };
    EXPECT_EQ(send({"event", "videosidebarslide", "Pop"}), "success");
    // A user can press neither the hidden "Next Page" button nor the right strip of
    // a tab that is not shown.
    EXPECT_EQ(send({"event", "Button9", "Click"}), "event: Button 'Button9' is not showing");
    EXPECT_EQ(send({"event", "suiImageButton11", "Click"}),
              "event: Button 'suiImageButton11' is not showing");
    EXPECT_FALSE(state<bool>("newsPaged"));

    // Choosing the tab the first time presses the hidden button in code, as always.
    EXPECT_EQ(send({"event", "sidepage", "TabActive", {{"index", 1}}}), "success");
    EXPECT_TRUE(state<bool>("newsPaged"));
    EXPECT_EQ(state<int>("newsOffset"), 0);
    expectSlots("newsSlots", "newspic", rows(2, 0));
    EXPECT_EQ(send({"event", "suiImageButton11", "Click"}), "success");
    EXPECT_EQ(state<int>("newsOffset"), 16);
    EXPECT_TRUE(errors().empty());
}

TEST_F(SideTabs, AShortPageReplacesItsRowsAndLeavesTheOlderSlotsInPlace) {
    // The World tab's stored query holds 21 rows: its second page has five.
    saveRows("qzrbackup.sidetab");
    root().execute(
        "UPDATE qzrbackup.sidetab SET sidequery = CONCAT('SELECT * FROM (', "
        "LEFT(sidequery, LENGTH(sidequery) - 5), 'LIMIT 21) AS w LIMIT') ORDER BY id LIMIT 1");
    startOnline();
    popSideBar();
    const auto first = rows(1, 0);
    std::vector<std::vector<std::uint8_t>> oldPictures(17);
    for (int n = 1; n <= 16; ++n)
        oldPictures[static_cast<std::size_t>(n)] = pixels("videopic" + std::to_string(n));

    const int total = 21;
    click("suiImageButton8");
    const auto last = rows(1, total - 5);
    ASSERT_EQ(last.size(), 5u);
    expectSlots("worldSlots", "videopic", last);
    for (int n = 6; n <= 16; ++n) {
        EXPECT_EQ(title("worldSlots", n), first[static_cast<std::size_t>(n - 1)].title) << n;
        EXPECT_EQ(pixels("videopic" + std::to_string(n)), oldPictures[static_cast<std::size_t>(n)])
            << n;
    }

    // Pointing at an older slot selects that older item.
    pointAt("videopic10");
    EXPECT_EQ(app->state().get("currentItem")["title"], first[9].title);
    EXPECT_EQ(app->state().get("playLink"), first[9].link);
    event("videopic10", ui::Event::MouseLeave);

    // A page with no rows changes nothing.
    const auto before = app->state().get("worldSlots");
    click("suiImageButton8");
    EXPECT_EQ(state<int>("worldOffset"), total + 11);
    EXPECT_EQ(app->state().get("worldSlots"), before);
    EXPECT_TRUE(errors().empty());
}

TEST_F(SideTabs, TheWorldTabKeepsThePreviousPictureOfABadRowInItsFirstThreeSlots) {
    startOnline();
    popSideBar();
    const auto second = rows(1, 16);
    ASSERT_EQ(second.size(), 16u);
    const auto oldFirst = pixels("videopic1");
    const auto oldSecond = pixels("videopic2");
    const auto oldThird = pixels("videopic3");
    // Slot 1 reads its picture by position, slot 3 by name.
    spoilPictures(second[0].recnum + ", " + second[2].recnum);

    click("suiImageButton8");
    EXPECT_TRUE(errors().empty()) << errors().front();
    expectSlots("worldSlots", "videopic", second);
    EXPECT_EQ(pixels("videopic1"), oldFirst);
    EXPECT_EQ(pixels("videopic3"), oldThird);
    EXPECT_NE(pixels("videopic2"), oldSecond);
    EXPECT_FALSE(connected());
}

TEST_F(SideTabs, ABadPictureFurtherDownEndsTheFillWithTheMessageButClosesTheConnection) {
    startOnline();
    popSideBar();
    const auto first = rows(1, 0);
    const auto second = rows(1, 16);
    const auto news = rows(2, 0);
    spoilPictures(second[4].recnum + ", " + news[0].recnum);

    click("suiImageButton8");
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_NE(errors()[0].find("pic1.jpg"), std::string::npos) << errors()[0];
    EXPECT_EQ(title("worldSlots", 4), second[3].title);
    EXPECT_EQ(title("worldSlots", 5), first[4].title); // the fill ended at slot 5
    EXPECT_EQ(title("worldSlots", 16), first[15].title);
    EXPECT_FALSE(connected());
    EXPECT_FALSE(state<bool>("sideTabQueryOpen"));

    // The strips keep working.
    click("suiImageButton10");
    EXPECT_EQ(state<int>("worldOffset"), 0);
    expectSlots("worldSlots", "videopic", first);
    EXPECT_EQ(errors().size(), 1u);

    // Aus News guards no slot: a bad first picture ends its first fill at once.
    chooseSideTab(1);
    ASSERT_EQ(errors().size(), 2u);
    EXPECT_NE(errors()[1].find("news1.jpg"), std::string::npos) << errors()[1];
    EXPECT_EQ(title("newsSlots", 1), "");
    EXPECT_FALSE(image("newspic1").visible());
    EXPECT_FALSE(connected());
}

TEST_F(SideTabs, ABadPictureOnTheFirstPopIsReportedAndTheNextPopFillsAgain) {
    startOnline();
    const auto first = rows(1, 0);
    spoilPictures(first[5].recnum);
    popSideBar();
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_EQ(title("worldSlots", 5), first[4].title);
    EXPECT_EQ(title("worldSlots", 6), "");
    // The World tab closes its own connection; the message ended the pop before
    // the tab counted as filled.
    EXPECT_FALSE(connected());
    EXPECT_FALSE(state<bool>("sideBarFilled"));
    popSideBar();
    EXPECT_EQ(errors().size(), 2u);
    EXPECT_FALSE(connected());
}

TEST_F(SideTabs, PointingAtFilledThumbnailsSelectsTheirRows) {
    startOnline();
    pointAt("featurepic3");
    const auto& current = form->selection().currentItem();
    EXPECT_EQ(current.title, title("featureSlots", 3));
    EXPECT_EQ(current.recnum, slot("featureSlots", 3)["recnum"]);
    EXPECT_EQ(form->selection().playLink(), slot("featureSlots", 3)["mediaLink"]);
    EXPECT_EQ(current.picture, image("featurepic3").picture());
    EXPECT_FALSE(image("infoImage").picture()->empty());
    EXPECT_EQ(caption("titledis"), ui::utf8::left(title("featureSlots", 3), 40));
    event("featurepic3", ui::Event::MouseLeave);
    EXPECT_EQ(caption("titledis"), scalar("SELECT value FROM zorvex_global WHERE id = 2"));
    EXPECT_EQ(caption("descdis4"), scalar("SELECT value FROM zorvex_global WHERE id = 6"));

    popSideBar();
    const auto first = rows(1, 0);
    const int laidOutLeft = app->findControl("videopic2")->left();
    pointAt("videopic2");
    EXPECT_EQ(current.siteUrl, first[1].site);
    EXPECT_EQ(caption("infoPanel"), ui::utf8::left(first[1].title, 15) + "..");
    EXPECT_TRUE(app->findControl("infoPanel")->visible());
    EXPECT_EQ(app->findControl("videopic2")->left(), laidOutLeft - 20);
    event("videopic2", ui::Event::MouseLeave);
    EXPECT_FALSE(app->findControl("infoPanel")->visible());
    EXPECT_TRUE(errors().empty());
}

} // namespace
