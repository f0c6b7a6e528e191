// The search box and the image searches against the test catalogue: the help and
// typing states, Enter, the image and visual searches on Newest Videos, the
// library-search commands and the ordering radio buttons.

#include <gtest/gtest.h>

#include "catalogue/CatalogueServer.h"
#include "search/ImageStatements.h"
#include "search/SearchBox.h"
#include "search_db/SearchSession.h"
#include "ui/Image.h"
#include "ui/Menu.h"

namespace {

class SearchBox : public testsupport::SearchSession {
  protected:
    void enter() {
        ui::EventArgs a;
        a.key = "\r";
        event("sqlsearchedit", ui::Event::KeyPress, a);
    }
    /// The box loses the focus with the help text drawn as `drawn`.
    void leave(int drawn) {
        app->dispatch([&] { form->searchBox().setDraw([drawn] { return drawn; }); });
        event("sqlsearchedit", ui::Event::Exit);
    }
    search::ImageSearchPieces pieces() {
        const auto parts = state<std::vector<std::string>>("imageSearchSqlParts");
        search::ImageSearchPieces p;
        for (std::size_t i = 1; i < p.size(); ++i)
            p[i] = parts.at(i - 1);
        return p;
    }
    std::string featureTitle(int n) {
        return app->state().get("featureSlots")[n - 1]["title"].get<std::string>();
    }
};

TEST_F(SearchBox, HelpAndTypingStates) {
    startOnline();
    EXPECT_EQ(box().text(), "Enter Search Request");
    EXPECT_EQ(box().font().colour, ui::colours::silver);
    click("sqlsearchedit");
    EXPECT_EQ(box().text(), "");
    EXPECT_EQ(box().font().colour, ui::colours::black);
    EXPECT_EQ(box().font().height, 21);
    EXPECT_EQ(box().font().name, "Arial");

    const std::vector<std::pair<int, std::string>> draws = {
        {0, "Use cat: to search in Categories eg. cat:news"},
        {32, "Use cat: to search in Categories eg. cat:news"},
        {33, "Double click on the side predefined categories to view results"},
        {65, "Double click on the side predefined categories to view results"},
        {66, "Use site: to search Hosts eg. cat:youtube.com"},
        {99, "Use site: to search Hosts eg. cat:youtube.com"}};
    for (const auto& [drawn, text] : draws) {
        click("sqlsearchedit");
        leave(drawn);
        EXPECT_EQ(box().text(), text) << drawn;
        EXPECT_EQ(box().font().colour, ui::colours::silver);
        EXPECT_EQ(box().font().points(), 9);
    }
    // A box with a request keeps it when left; a second click keeps it too.
    type("surfing");
    leave(0);
    EXPECT_EQ(box().text(), "surfing");
    EXPECT_EQ(box().font().colour, ui::colours::black);
    click("sqlsearchedit");
    EXPECT_EQ(box().text(), "surfing");
}

TEST_F(SearchBox, TheDrawIsUniformOverItsRange) {
    startOnline();
    int cat = 0, side = 0, site = 0;
    for (int i = 0; i < 300; ++i) {
        click("sqlsearchedit");
        event("sqlsearchedit", ui::Event::Exit);
        const std::string& t = box().text();
        cat += t.rfind("Use cat:", 0) == 0;
        side += t.rfind("Double click", 0) == 0;
        site += t.rfind("Use site:", 0) == 0;
    }
    EXPECT_EQ(cat + side + site, 300);
    EXPECT_GT(cat, 0);
    EXPECT_GT(side, 0);
    EXPECT_GT(site, 0);
}

TEST_F(SearchBox, EnterSearchesTheImageLibraryNewestFirst) {
    startOnline();
    type("surfing");
    enter();
    ASSERT_TRUE(errors().empty()) << errors().front();
    EXPECT_EQ(caption("suiTabSheet8"), "surfing");
    const std::string base = search::ImageSearchBase("surfing", true, pieces());
    EXPECT_EQ(state<std::string>("resultQueryBase"), base);
    EXPECT_EQ(state<int>("resultQueryOffset"), 0);
    EXPECT_TRUE(state<bool>("resultQueryShown"));
    const auto titles = column(base + "0, 8", "rssitemtitle");
    ASSERT_EQ(titles.size(), 8u);
    for (int n = 1; n <= 8; ++n)
        EXPECT_EQ(featureTitle(n), titles[static_cast<std::size_t>(n - 1)]);
    EXPECT_EQ(caption("resultsLabel"), "Pages 0 - 8");
    // The key goes on to the box.
    ui::EventArgs a;
    a.key = "\r";
    app->dispatch([&] { box().deliver(ui::Event::KeyPress, a); });
    EXPECT_EQ(a.key, "\r");
}

TEST_F(SearchBox, MostPopularOrdersByRelevance) {
    startOnline();
    choose("mostpopularchecked");
    EXPECT_TRUE(state<bool>("imageSearchPopular"));
    type("surfing cat:Sport");
    click("suiImageButton3");
    ASSERT_TRUE(errors().empty()) << errors().front();
    const std::string base = search::ImageSearchBase("surfing cat:Sport", false, pieces());
    EXPECT_EQ(state<std::string>("resultQueryBase"), base);
    EXPECT_EQ(featureTitle(1), column(base + "0, 8", "rssitemtitle").at(0));
    // Switching the order afterwards re-runs nothing; the next page uses the stored base.
    choose("mostrecentchecked");
    EXPECT_FALSE(state<bool>("imageSearchPopular"));
    EXPECT_EQ(state<std::string>("resultQueryBase"), base);
    click("suiImageButton7");
    EXPECT_EQ(state<int>("resultQueryOffset"), 8);
    EXPECT_EQ(featureTitle(1), column(base + " 8, 8", "rssitemtitle").at(0));
    // A second Enter with the same text starts again at the first page.
    enter();
    EXPECT_EQ(state<int>("resultQueryOffset"), 0);
    EXPECT_EQ(state<std::string>("resultQueryBase"),
              search::ImageSearchBase("surfing cat:Sport", true, pieces()));
}

TEST_F(SearchBox, EnterOnAHelpTextRenamesTheTabAndSearchesNothing) {
    startOnline();
    const auto before = app->state().get("featureSlots");
    enter(); // the box got the focus without a click
    EXPECT_EQ(caption("suiTabSheet8"), "Enter Search Request");
    EXPECT_FALSE(state<bool>("resultQueryShown"));
    EXPECT_EQ(app->state().get("featureSlots"), before);
    type("");
    click("suiImageButton3");
    EXPECT_EQ(caption("suiTabSheet8"), "");
    EXPECT_FALSE(state<bool>("resultQueryShown"));
}

TEST_F(SearchBox, VisualSearchSearchesWhateverTheBoxShows) {
    startOnline();
    const std::string tab = caption("suiTabSheet8");
    click("NewSearch1");
    ASSERT_TRUE(errors().empty()) << errors().front();
    const std::string base = search::VisualSearchBase(
        "Enter Search Request", true,
        {"\"http://www.mtv.com/overdrive/player.jhtml\"", "\"youtube.com\""});
    EXPECT_EQ(state<std::string>("resultQueryBase"), base);
    EXPECT_TRUE(state<bool>("resultQueryShown"));
    EXPECT_EQ(caption("suiTabSheet8"), tab);
    EXPECT_EQ(caption("NoResults"), "No Results on Enter Search Request");
    EXPECT_TRUE(app->findControl("NoResults")->visible());

    choose("mostpopularchecked");
    type("surfing");
    click("NewSearch1");
    EXPECT_EQ(caption("resultsLabel"), "Pages 0 - 8");
    EXPECT_NE(state<std::string>("resultQueryBase").find("ORDER BY score DESC LIMIT "),
              std::string::npos);
    EXPECT_TRUE(errors().empty());
}

TEST_F(SearchBox, LibrarySearchCommandsSetTheirFlags) {
    startOnline();
    type("surfing");
    enter();
    ASSERT_TRUE(state<bool>("resultQueryShown"));
    press("SearchImageLibrary1");
    EXPECT_TRUE(state<bool>("imageSearchActive"));
    EXPECT_TRUE(state<bool>("imageSearchPopular"));
    EXPECT_TRUE(state<bool>("searchResultsShown"));
    EXPECT_NE(app->state().get("imageSearchSql")["tail"].get<std::string>().find("SCORE DESC"),
              std::string::npos);
    EXPECT_FALSE(state<bool>("catalogueConnected"));

    press("MostRecentByImageLibary1");
    EXPECT_TRUE(state<bool>("imageSearchActive"));
    EXPECT_FALSE(state<bool>("imageSearchPopular"));
    EXPECT_NE(app->state().get("imageSearchSql")["tail"].get<std::string>().find("recnum DESC"),
              std::string::npos);

    choose("mostpopularchecked");
    enter();
    ASSERT_TRUE(state<bool>("resultQueryShown"));
    press("estImageLibarybothmethod1");
    EXPECT_FALSE(state<bool>("resultQueryShown"));
    EXPECT_TRUE(state<bool>("imageSearchPopular"));
    choose("mostrecentchecked");
    press("estImageLibarybothmethod1");
    EXPECT_FALSE(state<bool>("imageSearchPopular"));
    EXPECT_EQ(state<int>("featureOffset"), 0);
    EXPECT_TRUE(errors().empty());
}

TEST_F(SearchBox, HostileTextRunsInEveryImageSearch) {
    startOnline();
    const std::vector<std::string> texts = {"it's",
                                            "\"",
                                            "\\",
                                            "a\\' OR 1=1 -- ",
                                            "%_",
                                            "/* c */ #",
                                            std::string("a\0b", 3),
                                            "cat:",
                                            "site:",
                                            "site:o'neil cat:a\"b",
                                            "a   b",
                                            "Übung 東京 😀",
                                            std::string(200, 'z') +
                                                " site:" + std::string(300, 'y')};
    for (const bool popular : {true, false}) {
        choose(popular ? "mostpopularchecked" : "mostrecentchecked");
        for (const auto& text : texts) {
            type(text);
            enter();
            click("NewSearch1");
            press("estImageLibarybothmethod1");
            // The Special Interest page pages the box text with a LIKE search meanwhile.
            click("suiImageButton7");
        }
    }
    EXPECT_TRUE(errors().empty()) << errors().front();
    type("surfing site:\"sport");
    enter();
    EXPECT_TRUE(errors().empty());
}

TEST_F(SearchBox, AVanishedServerIsReported) {
    startOnline();
    auto& settings = form->catalogueServer().connection().settings();
    settings.port = 1;
    type("surfing");
    enter();
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_EQ(errors().front().rfind("Dataset server could not connect: ", 0), 0u);
}

} // namespace
