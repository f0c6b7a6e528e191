// The text results page against the test catalogue: the three text searches, their
// paging, the grid and its table of results, selecting a row, the grid's menu and
// picture lookup, the record count, and what refused statements and a vanishing
// server do.

#include <gtest/gtest.h>

#include <filesystem>

#include "catalogue/CatalogueServer.h"
#include "search/TextGrid.h"
#include "search/TextStatements.h"
#include "search_db/SearchSession.h"
#include "ui/Image.h"
#include "ui/Menu.h"
#include "ui/PageControl.h"
#include "ui/Utf8.h"

namespace {

class TextGrid : public testsupport::SearchSession {
  protected:
    search::Exclusions exclusions() {
        return {"\"http://www.mtv.com/overdrive/player.jhtml\"", "\"youtube.com\""};
    }
    int rows() { return state<int>("textResultCount"); }
    /// The hidden "Search Videos" button, as the program clicks it.
    void phraseSearch() { press("sqlsearchbutton"); }
    void showTab(int index) {
        ui::EventArgs args;
        args.index = index;
        event("suiPageControl1", ui::Event::TabActive, args);
    }
};

TEST_F(TextGrid, PopularSearchFillsTheGridAndTheTableFromTheFirstPage) {
    startOnline();
    choose("mostpopularchecked");
    type("Surfing ");
    click("textSearch");
    ASSERT_TRUE(errors().empty());

    const auto titles =
        column(search::PopularTextStatement("surfing", 0, exclusions()), "rssitemtitle");
    ASSERT_EQ(titles.size(), 53u);
    EXPECT_EQ(rows(), 53);
    EXPECT_EQ(caption("suiTabSheet1"), "Search +surfing");
    EXPECT_EQ(dynamic_cast<ui::PageControl&>(*app->findControl("suiPageControl1")).activeIndex(),
              0);
    const std::vector<std::string> headers = {" # ", " Description ", " Extended ", " Catergory ",
                                              " Source "};
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(grid().cell(c, 0), headers[static_cast<std::size_t>(c)]);
    for (int r = 1; r <= 53; ++r) {
        EXPECT_EQ(grid().cell(1, r), titles[static_cast<std::size_t>(r - 1)]);
        EXPECT_EQ(textRow(r)["title"], titles[static_cast<std::size_t>(r - 1)]);
        EXPECT_NE(textRow(r)["mediaLink"], "");
    }
    // Rows without a result show their number only.
    EXPECT_EQ(grid().cell(0, 54), "54");
    EXPECT_EQ(grid().cell(1, 54), "");
    EXPECT_EQ(grid().cell(0, 100), "100");
    EXPECT_EQ(state<int>("popularTextOffset"), 0);
    EXPECT_FALSE(state<bool>("catalogueConnected"));
}

TEST_F(TextGrid, TheGridHasItsDesignedShape) {
    start();
    EXPECT_EQ(grid().colCount(), 5);
    EXPECT_EQ(grid().rowCount(), 101);
    EXPECT_EQ(grid().fixedRows(), 1);
    EXPECT_EQ(grid().defaultRowHeight(), 24);
    const std::vector<int> widths = {29, 237, 192, 120, 126};
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(grid().colWidth(c), widths[static_cast<std::size_t>(c)]);
    EXPECT_EQ(grid().font().colour, ui::colours::white);
    EXPECT_EQ(grid().colour(), (ui::Colour{128, 128, 128}));
}

TEST_F(TextGrid, LatestSearchIsNewestFirstAndPagesByAHundred) {
    startOnline();
    type("reports cat:Sport");
    click("textSearch");
    ASSERT_TRUE(errors().empty());
    EXPECT_EQ(caption("suiTabSheet1"), "Results on reports cat:Sport");
    const auto pieces = state<std::vector<std::string>>("textSearchSqlParts");
    search::TextSearchPieces parts;
    for (std::size_t i = 1; i < 5; ++i)
        parts[i] = pieces.at(i - 1);
    const auto first = column(search::LatestTextStatement("reports cat:Sport", 0, parts), "recnum");
    ASSERT_EQ(first.size(), 100u);
    EXPECT_EQ(rows(), 100);
    EXPECT_EQ(textRow(1)["recnum"], first[0]);
    EXPECT_EQ(textRow(100)["recnum"], first[99]);
    EXPECT_GT(std::stol(first[0]), std::stol(first[99]));
    EXPECT_EQ(grid().cell(3, 1), "Sport");

    click("nexttext");
    EXPECT_EQ(state<int>("latestTextOffset"), 100);
    const auto second =
        column(search::LatestTextStatement("reports cat:Sport", 100, parts), "recnum");
    ASSERT_FALSE(second.empty());
    ASSERT_LT(second.size(), 100u); // the category holds fewer than 200 items
    EXPECT_EQ(rows(), static_cast<int>(second.size()));
    EXPECT_EQ(textRow(1)["recnum"], second[0]);

    // Past the end: an empty page with the placeholder.
    click("nexttext");
    EXPECT_EQ(state<int>("latestTextOffset"), 200);
    EXPECT_EQ(rows(), 0);
    EXPECT_EQ(grid().cell(1, 1), search::TextGrid::kPlaceholder);
    EXPECT_EQ(grid().cell(0, 1), "1");

    click("backtext");
    click("backtext");
    EXPECT_EQ(state<int>("latestTextOffset"), 0);
    EXPECT_EQ(textRow(1)["recnum"], first[0]);
    // Before the start nothing runs: the grid keeps the first page.
    app->dispatch([&] { grid().setCell(1, 1, "kept"); });
    click("backtext");
    EXPECT_EQ(state<int>("latestTextOffset"), 0);
    EXPECT_EQ(grid().cell(1, 1), "kept");
    // A new search from the button starts again at the first page.
    click("nexttext");
    click("textSearch");
    EXPECT_EQ(state<int>("latestTextOffset"), 0);
    EXPECT_TRUE(errors().empty());
}

TEST_F(TextGrid, PopularPagingMovesOnlyItsOwnOffset) {
    startOnline();
    choose("mostpopularchecked");
    type("reports");
    click("textSearch");
    EXPECT_EQ(rows(), 100); // exactly one full page
    click("nexttext");
    EXPECT_EQ(state<int>("popularTextOffset"), 100);
    EXPECT_EQ(state<int>("latestTextOffset"), 0);
    EXPECT_EQ(rows(), 100);
    click("backtext");
    click("backtext");
    EXPECT_EQ(state<int>("popularTextOffset"), 0);
    EXPECT_TRUE(errors().empty());
}

TEST_F(TextGrid, TheTextSearchButtonIgnoresHelpTextsAndAnEmptyBox) {
    startOnline();
    // The box shows "Enter Search Request" in silver.
    click("textSearch");
    EXPECT_EQ(caption("suiTabSheet1"), "All Videos");
    EXPECT_EQ(grid().cell(0, 0), "");
    type("");
    click("textSearch");
    EXPECT_EQ(caption("suiTabSheet1"), "All Videos");
    // The menu's command searches whatever the box holds, help text or not.
    type("");
    app->dispatch([&] { box().setText("Enter Search Request"); });
    app->findControl("sqlsearchedit")->setFontColour(ui::colours::silver);
    click("extMethodBoth1");
    EXPECT_EQ(caption("suiTabSheet1"), "Results on Enter Search Request");
    EXPECT_TRUE(errors().empty());
}

TEST_F(TextGrid, PhraseSearchReadsUpTo249RowsAfterTheFirst) {
    startOnline();
    type("Reports  ");
    phraseSearch();
    ASSERT_TRUE(errors().empty());
    EXPECT_EQ(caption("suiTabSheet1"), "Search reports");
    const auto titles =
        column(search::PhraseSearchStatement("reports", exclusions()), "rssitemtitle");
    ASSERT_EQ(titles.size(), 249u);
    EXPECT_EQ(rows(), 249);
    // The grid shows its 100 rows; the table holds them all, and its last row none.
    EXPECT_EQ(grid().cell(1, 100), titles[99]);
    EXPECT_EQ(textRow(249)["title"], titles[248]);
    EXPECT_EQ(textRow(250)["title"], "");
}

TEST_F(TextGrid, SelectingARowChoosesItsVideo) {
    startOnline();
    choose("mostpopularchecked");
    type("surfing");
    click("textSearch");
    ASSERT_EQ(rows(), 53);
    const auto row = textRow(3);
    select(2, 3);
    const auto current = app->state().get("currentItem");
    EXPECT_EQ(current["title"], row["title"]);
    EXPECT_EQ(current["description"], row["description"]);
    EXPECT_EQ(current["siteUrl"], row["siteUrl"]);
    EXPECT_EQ(current["recnum"], row["recnum"]);
    EXPECT_EQ(current["feedTitle"], row["feedTitle"]);
    EXPECT_EQ(current["mediaType"], row["mediaType"]);
    EXPECT_EQ(app->state().get("nowPlaying"), row);
    EXPECT_EQ(state<std::string>("playLink"), row["mediaLink"]);
    EXPECT_EQ(state<std::string>("selectionTitle"), grid().cell(1, 3));
    EXPECT_TRUE(state<bool>("bookmarkFromNowPlaying"));
    EXPECT_EQ(state<std::string>("visitSiteTarget"), grid().cell(4, 3));
    EXPECT_EQ(caption("VisitSite1"), "Visit Site: " + grid().cell(4, 3));
    EXPECT_EQ(dynamic_cast<ui::Memo&>(*app->findControl("sqlvideomemo")).text(),
              grid().cell(2, 3) + " " + grid().cell(3, 3));
    EXPECT_EQ(caption("titledis"), row["title"].get<std::string>().substr(0, 40));
    // The last column has no right-hand neighbour.
    select(4, 3);
    EXPECT_EQ(dynamic_cast<ui::Memo&>(*app->findControl("sqlvideomemo")).text(),
              grid().cell(4, 3) + " ");
    // The grid's own row, not the earlier hover, gives the link.
    EXPECT_EQ(state<std::string>("playLink"), row["mediaLink"]);
}

TEST_F(TextGrid, ADoubleClickedRowIsPlayed) {
    startOnline();
    choose("mostpopularchecked");
    type("surfing");
    click("textSearch");
    ASSERT_GE(rows(), 3);
    const auto row = textRow(3);
    select(1, 3);
    event("stringgrid", ui::Event::DblClick);
    EXPECT_TRUE(errors().empty()) << errors().front();
    // The play request ran on the row: the now-playing panel shows its title and
    // a route was chosen.
    EXPECT_EQ(app->state().get("nowPlaying")["mediaLink"], row["mediaLink"]);
    EXPECT_EQ(caption("nowtitledis"), ui::utf8::left(row["title"].get<std::string>(), 40));
    EXPECT_NE(caption("Label20"), "");
    EXPECT_TRUE(app->findControl("Panel5")->visible());
}

TEST_F(TextGrid, ARowBeyondAShorterSearchSelectsAnEmptyItem) {
    startOnline();
    choose("mostpopularchecked");
    type("reports");
    click("textSearch");
    ASSERT_EQ(rows(), 100);
    type("surfing");
    click("textSearch");
    ASSERT_EQ(rows(), 53);
    for (int r : {54, 100}) {
        EXPECT_EQ(textRow(r), textRow(250)) << r;
        EXPECT_EQ(textRow(r)["title"], "") << r;
        EXPECT_EQ(textRow(r)["recnum"], "") << r;
    }
    select(1, 60);
    const auto empty = app->state().get("nowPlaying");
    for (const char* field :
         {"mediaLink", "title", "description", "siteUrl", "mediaType", "recnum", "feedTitle"})
        EXPECT_EQ(empty[field], "") << field;
    EXPECT_EQ(state<std::string>("playLink"), "");
    EXPECT_EQ(state<std::string>("selectionTitle"), "");
    EXPECT_EQ(app->state().get("currentItem")["title"], "");
}

TEST_F(TextGrid, NoRowsShowThePlaceholder) {
    startOnline();
    type("zzzqqqnothing");
    click("textSearch");
    EXPECT_EQ(rows(), 0);
    EXPECT_EQ(grid().cell(1, 1), "Nil");
    for (int c = 2; c < 5; ++c)
        EXPECT_EQ(grid().cell(c, 1), "");
    select(1, 1);
    EXPECT_EQ(state<std::string>("selectionTitle"), "");
    EXPECT_TRUE(errors().empty());
}

TEST_F(TextGrid, HostileTextRunsAsASearchForThatText) {
    startOnline();
    const std::vector<std::string> texts = {"it's",
                                            "\"",
                                            "\\",
                                            "a\\' OR 1=1 -- ",
                                            "%_ x",
                                            "/* c */ #",
                                            std::string("nul\0byte", 8),
                                            "cat:",
                                            "site:",
                                            "CAT:news SITE:x",
                                            "a   b",
                                            std::string(200, 'z') + " cat:" + std::string(210, 'y'),
                                            "Übung 東京 😀",
                                            "site:o'neil cat:a\"b"};
    for (const bool popular : {true, false}) {
        choose(popular ? "mostpopularchecked" : "mostrecentchecked");
        for (const auto& text : texts) {
            type(text);
            click("textSearch");
            phraseSearch();
        }
    }
    EXPECT_TRUE(errors().empty()) << errors().front();
    // And the text is searched: a quote in a word still finds the word.
    choose("mostpopularchecked");
    type("surfing'");
    click("textSearch");
    EXPECT_EQ(rows(), 53);
    type("\"surfing\"");
    click("textSearch");
    EXPECT_EQ(rows(), 53);
}

TEST_F(TextGrid, ARefusedLatestSearchIsShownKeepsTheGridAndClosesTheConnection) {
    saveRows("halden.zorvex_global", "id = 23");
    root().execute(
        "UPDATE halden.zorvex_global SET value = ' ORDER BY nonsense LIMIT' WHERE id = 23");
    startOnline();
    choose("mostpopularchecked");
    type("surfing");
    click("textSearch");
    ASSERT_EQ(rows(), 53);
    const auto before = app->state().get("textResults");
    const std::string first = grid().cell(1, 1);
    choose("mostrecentchecked");
    click("textSearch");
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_NE(errors().front().find("nonsense"), std::string::npos) << errors().front();
    EXPECT_EQ(app->state().get("textResults"), before);
    EXPECT_EQ(rows(), 53);
    EXPECT_EQ(grid().cell(1, 1), first);
    EXPECT_FALSE(state<bool>("catalogueConnected"));
}

TEST_F(TextGrid, AVanishedServerIsReportedAndTheNextSearchWorksWhenItIsBack) {
    startOnline();
    choose("mostpopularchecked");
    type("surfing");
    click("textSearch");
    ASSERT_EQ(rows(), 53);
    auto& settings = form->catalogueServer().connection().settings();
    const unsigned port = settings.port;
    settings.port = 1;
    type("reports");
    click("textSearch");
    ASSERT_EQ(errors().size(), 1u) << errors().back();
    EXPECT_EQ(errors().front().rfind("Dataset server could not connect: ", 0), 0u);
    EXPECT_EQ(rows(), 53);
    EXPECT_EQ(caption("suiTabSheet1"), "Search +surfing");
    phraseSearch();
    EXPECT_EQ(errors().size(), 2u);
    settings.port = port;
    click("textSearch");
    EXPECT_EQ(rows(), 100);
    EXPECT_EQ(errors().size(), 2u);
}

TEST_F(TextGrid, MouseUpOpensTheGridMenuRightOfThePointer) {
    startOnline();
    showTab(0);
    auto& menu = dynamic_cast<ui::Menu&>(*app->findControl("videopopup"));
    const auto [gx, gy] = ui::screenPosition(grid(), 10, 20);
    for (const auto button : {ui::MouseButton::Left, ui::MouseButton::Right}) {
        ui::EventArgs args;
        args.button = button;
        args.x = 10;
        args.y = 20;
        event("stringgrid", ui::Event::MouseUp, args);
    }
    EXPECT_EQ(menu.popupCount(), 2);
    EXPECT_EQ(menu.popupX(), gx + 70);
    EXPECT_EQ(menu.popupY(), gy);

    auto& kinds = dynamic_cast<ui::Menu&>(*app->findControl("searchtypepopup"));
    ui::EventArgs down;
    down.x = 3;
    down.y = 4;
    // The button is hidden; only the program presses it.
    app->dispatch(
        [&] { app->findControl("sqlsearchbutton")->onMouseDown(ui::MouseButton::Left, 3, 4); });
    const auto [bx, by] = ui::screenPosition(*app->findControl("sqlsearchbutton"), 3, 4);
    EXPECT_EQ(kinds.popupCount(), 1);
    EXPECT_EQ(kinds.popupX(), bx + 15);
    EXPECT_EQ(kinds.popupY(), by);
}

TEST_F(TextGrid, ShowVideoImageLooksThePictureUpInTheImageLibrary) {
    saveRows("halden.videopodcasthistory", "rssitemtitle = 'Lonely textonly clip'");
    root().execute("INSERT INTO halden.videopodcasthistory (rsstitle, rssitemtitle, rssdesc, "
                   "rssurl, rsshostname, rsscat, medialink, mediatype) VALUES ('Feed', "
                   "'Lonely textonly clip', 'textonly', 'http://x.example/1', 'x.example', "
                   "'News', 'http://x.example/only-in-the-text-library.wmv', 'video/x-ms-wmv')");
    startOnline();
    choose("mostpopularchecked");
    type("surfing");
    click("textSearch");
    select(1, 1);
    click("ShowVideoImage1");
    ASSERT_TRUE(errors().empty()) << errors().front();
    auto& picture = dynamic_cast<ui::Image&>(*app->findControl("suiDBImage1"));
    EXPECT_TRUE(picture.visible());
    EXPECT_TRUE(std::filesystem::exists("me.jpg"));
    ASSERT_TRUE(picture.picture());
    EXPECT_GT(picture.picture()->width(), 0);

    std::filesystem::remove("me.jpg");
    type("textonly");
    click("textSearch");
    ASSERT_EQ(rows(), 1);
    select(1, 1);
    ASSERT_EQ(state<std::string>("playLink"), "http://x.example/only-in-the-text-library.wmv");
    click("ShowVideoImage1");
    EXPECT_TRUE(errors().empty());
    EXPECT_FALSE(std::filesystem::exists("me.jpg"));
    EXPECT_TRUE(picture.visible());
    EXPECT_GT(picture.picture()->width(), 0); // noimage.jpg
}

TEST_F(TextGrid, TheRecordCountReadsTheTextLibrarySize) {
    startOnline();
    const std::string total = scalar("SELECT count(*) FROM halden.videopodcasthistory");
    press("suiButton6");
    EXPECT_EQ(caption("Label9"), "Total Videos For Search = " + total);
    EXPECT_FALSE(app->findControl("Label9")->showing());
    app->dispatch([&] { app->findControl("Label9")->setCaption(""); });
    press("RefreshRecordCount1");
    EXPECT_EQ(caption("Label9"), "Total Videos For Search = " + total);
    press("ShowTotalVideos1");
    EXPECT_TRUE(app->findControl("Label9")->visible());
    EXPECT_TRUE(errors().empty());
}

TEST_F(TextGrid, TheLatestSearchLeavesTheStoredResultQueryAlone) {
    startOnline();
    type("reports");
    event("sqlsearchedit", ui::Event::KeyPress, [] {
        ui::EventArgs a;
        a.key = "\r";
        return a;
    }());
    ASSERT_TRUE(state<bool>("resultQueryShown"));
    const std::string base = state<std::string>("resultQueryBase");
    click("suiImageButton7");
    click("textSearch");
    EXPECT_EQ(state<std::string>("resultQueryBase"), base);
    EXPECT_EQ(state<int>("resultQueryOffset"), 8);
    EXPECT_TRUE(state<bool>("resultQueryShown"));
    // Newest Videos still pages through the image search.
    showTab(2);
    click("suiImageButton7");
    EXPECT_EQ(state<int>("resultQueryOffset"), 16);
    EXPECT_TRUE(errors().empty());
}

} // namespace
