// The Bookmarks tab, the bookmark commands and their dialog, in the whole program
// against the test catalogue and a real embedded store.

#include "StoreFill.h"
#include "support/ProgramTest.h"

#include "bookmarks/BookmarkPage.h"
#include "bookmarks/BookmarkStore.h"
#include "catalogue/Selection.h"
#include "db/Connection.h"
#include "ui/Image.h"
#include "ui/PageControl.h"
#include "ui/Widgets.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using testsupport::ProgramTest;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class BookmarkPage : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        if (HasFatalFailure())
            return;
        startOnline();
    }

    bookmarks::BookmarkPage& page() { return form->bookmarks(); }
    // The dialog's controls first: the main window has a Label1 and a Label2 too.
    bool visible(const std::string& name) {
        auto& box = dynamic_cast<ui::Form&>(*app->findControl("bookmarkbox"));
        if (ui::Control* c = box.find(name))
            return c->visible();
        return app->findControl(name)->visible();
    }
    bool mainEnabled() { return form->enabled(); }
    std::string mode() { return state<std::string>("bookmarkDialogMode"); }
    int offset() { return state<int>("bookmarkOffset"); }
    int count() { return state<int>("bookmarkCount"); }
    std::string slotTitle(int n) { return app->state().get("bookmarkSlots")[n - 1]["title"]; }
    int shownSlots() {
        int shown = 0;
        for (int n = 1; n <= 16; ++n)
            shown += visible("musicpic" + std::to_string(n));
        return shown;
    }
    void menu(const std::string& item) {
        ui::Control* c = app->findControl(item);
        ASSERT_NE(c, nullptr) << item;
        ui::EventArgs args;
        app->dispatch([&] { c->deliver(ui::Event::Click, args); });
    }
    void pointAt(const std::string& name) {
        ui::EventArgs args;
        args.x = 5;
        args.y = 5;
        event(name, ui::Event::MouseMove, args);
        // The pointer goes on to the menu: the thumbnail stays selected.
        event(name, ui::Event::MouseLeave);
    }
    void closeDialog() { event("bookmarkbox", ui::Event::Close); }
    // The play request's part, which the playback subsystem does: what plays now.
    void playing(const catalogue::Item& item) {
        const_cast<catalogue::Selection&>(form->selection()).setNowPlaying(item);
    }

    // Stores `n` bookmarks straight into the store, a minute apart, oldest first.
    void fill(int n, int from = 0) { bookmarktest::fillStore(page().store(), n, from); }
    // Adds the hovered Newest Videos thumbnail as the user does, answering OK.
    void addFeature(int slot) {
        pointAt("featurepic" + std::to_string(slot));
        menu("AddtoFavourites1");
        click("Button4");
    }
};

TEST_F(BookmarkPage, AnEmptyStoreShowsAnEmptyTabAndThePageButtonsDoNothing) {
    click("suiImageButton27");
    EXPECT_EQ(count(), 0);
    EXPECT_EQ(shownSlots(), 0);
    EXPECT_EQ(form->get<ui::PageControl>("sidepage").activeIndex(), 2);
    EXPECT_TRUE(form->get<ui::SideChannel>("videosidebarslide").popped());
    click("suiImageButton14");
    click("suiImageButton13");
    EXPECT_EQ(offset(), 0);
    EXPECT_TRUE(errors().empty()) << errors().front();
}

TEST_F(BookmarkPage, ChoosingTheBookmarksTabLoadsThePageEveryTime) {
    fill(3);
    ui::EventArgs args;
    args.index = 2;
    event("sidepage", ui::Event::TabActive, args);
    EXPECT_EQ(shownSlots(), 3);
    fill(1, 3);
    event("sidepage", ui::Event::TabActive, args);
    EXPECT_EQ(shownSlots(), 4);
    EXPECT_EQ(slotTitle(4), "Bookmark 3");
}

TEST_F(BookmarkPage, AThumbnailIsAskedForStoredAndShownOnTheLastPage) {
    fill(17);
    click("suiImageButton27");
    ASSERT_EQ(offset(), 0);
    const std::string title = app->state().get("featureSlots")[1]["title"];
    const std::string link = app->state().get("featureSlots")[1]["mediaLink"];
    pointAt("featurepic2");
    menu("AddtoFavourites1");
    // Asked first: the dialog in its insert mode over a disabled main window.
    EXPECT_TRUE(program->mainform().app().findControl("bookmarkbox")->visible());
    EXPECT_EQ(mode(), "insert");
    EXPECT_TRUE(visible("Label3") && visible("Button4") && visible("Button5"));
    EXPECT_FALSE(visible("Label1") || visible("Button1") || visible("Button2"));
    EXPECT_FALSE(mainEnabled());
    EXPECT_EQ(count(), 17);

    click("Button4");
    EXPECT_FALSE(visible("bookmarkbox"));
    EXPECT_TRUE(mainEnabled());
    EXPECT_EQ(mode(), "deleteAll");
    EXPECT_TRUE(visible("Label1") && visible("Button1") && visible("Button2"));
    EXPECT_EQ(count(), 18);
    EXPECT_EQ(offset(), 16);
    EXPECT_EQ(shownSlots(), 2);
    EXPECT_EQ(slotTitle(2), title);
    EXPECT_EQ(app->state().get("bookmarkSlots")[1]["mediaLink"], link);
    EXPECT_FALSE(state<bool>("bookmarkConfirmed"));
    EXPECT_FALSE(state<bool>("bookmarkShowLast"));
    // The picture came from the thumbnail, written as "boin.jpg".
    EXPECT_TRUE(fs::exists("boin.jpg"));
    EXPECT_EQ(readFile("book2.jpg"), readFile("boin.jpg"));
    EXPECT_TRUE(errors().empty()) << errors().front();
}

TEST_F(BookmarkPage, TheSameVideoTwiceShowsTheDuplicateNoticeAndKeepsOneRow) {
    addFeature(1);
    ASSERT_EQ(count(), 1);
    click("suiImageButton13"); // nothing to page back to
    addFeature(1);
    EXPECT_EQ(mode(), "duplicate");
    EXPECT_TRUE(visible("Label2") && visible("Button3"));
    EXPECT_FALSE(visible("Label1") || visible("Button1") || visible("Button2"));
    EXPECT_FALSE(mainEnabled());
    EXPECT_EQ(page().store().count(), 1);
    click("Button3");
    EXPECT_FALSE(visible("bookmarkbox"));
    EXPECT_TRUE(mainEnabled());
    EXPECT_TRUE(visible("Label1") && visible("Button1") && visible("Button2"));
    EXPECT_FALSE(visible("Label2") || visible("Button3"));
    EXPECT_TRUE(errors().empty()) << errors().front();
}

TEST_F(BookmarkPage, CancelStoresNothingAndKeepsTheBookmarkSource) {
    const_cast<catalogue::Selection&>(form->selection()).setBookmarkFromNowPlaying(true);
    page().addFromGridMenu();
    EXPECT_EQ(mode(), "insert");
    click("Button5");
    EXPECT_FALSE(visible("bookmarkbox"));
    EXPECT_TRUE(mainEnabled());
    EXPECT_TRUE(state<bool>("bookmarkFromNowPlaying"));
    EXPECT_FALSE(state<bool>("bookmarkConfirmed"));
    EXPECT_EQ(page().store().count(), 0);
}

TEST_F(BookmarkPage, TheLastPageAndTheNextButtonFollowTheCount) {
    struct Case {
        int stored;
        int lastOffset;
        std::vector<int> reached;
    };
    for (const Case& c : {Case{16, 0, {0}}, Case{17, 16, {0, 16}}, Case{32, 16, {0, 16}},
                          Case{33, 32, {0, 16, 32}}}) {
        SCOPED_TRACE(c.stored);
        page().ClearBookmarks();
        fill(c.stored);
        // Back to the first page, then as far as the next button goes.
        while (offset() > 0)
            click("suiImageButton13");
        click("suiImageButton27");
        std::vector<int> reached{offset()};
        for (int i = 0; i < 5; ++i) {
            const int before = offset();
            click("suiImageButton14");
            if (offset() != before)
                reached.push_back(offset());
        }
        EXPECT_EQ(reached, c.reached);
        EXPECT_EQ(reached.back(), c.lastOffset);
        EXPECT_EQ(shownSlots(), c.stored - c.lastOffset);
    }
}

TEST_F(BookmarkPage, AnInsertReturnsToTheLastPageWithSixteenAndSeventeenStored) {
    fill(15);
    addFeature(1);
    EXPECT_EQ(count(), 16);
    EXPECT_EQ(offset(), 0);
    addFeature(2);
    EXPECT_EQ(count(), 17);
    EXPECT_EQ(offset(), 16);
    EXPECT_EQ(shownSlots(), 1);
}

TEST_F(BookmarkPage, DeleteAllOnALaterPageKeepsTheOffsetUntilThePreviousButton) {
    fill(40);
    addFeature(1);
    ASSERT_EQ(offset(), 32);
    pointAt("musicpic1");
    EXPECT_TRUE(visible("DeleteAllBookmarks1"));
    EXPECT_FALSE(visible("AddtoFavourites1"));
    menu("DeleteAllBookmarks1");
    EXPECT_EQ(mode(), "deleteAll");
    EXPECT_TRUE(visible("bookmarkbox"));
    EXPECT_FALSE(mainEnabled());
    click("Button1");
    EXPECT_FALSE(visible("bookmarkbox"));
    EXPECT_TRUE(mainEnabled());
    EXPECT_EQ(count(), 0);
    EXPECT_EQ(offset(), 32);
    EXPECT_EQ(shownSlots(), 0);
    click("suiImageButton13");
    EXPECT_EQ(offset(), 16);
    click("suiImageButton13");
    EXPECT_EQ(offset(), 0);
    // The next insert returns to 0 as well.
    fill(40);
    page().ClearBookmarks();
    addFeature(3);
    EXPECT_EQ(offset(), 0);
}

TEST_F(BookmarkPage, DeleteAllCancelledKeepsEveryBookmark) {
    fill(3);
    click("suiImageButton27");
    pointAt("musicpic2");
    menu("DeleteAllBookmarks1");
    click("Button2");
    EXPECT_FALSE(visible("bookmarkbox"));
    EXPECT_TRUE(mainEnabled());
    EXPECT_EQ(page().store().count(), 3);
}

TEST_F(BookmarkPage, DeleteBookmarkRemovesThePointedBookmarkOnly) {
    fill(3);
    click("suiImageButton27");
    pointAt("musicpic2");
    EXPECT_EQ(form->selection().currentItem().title, "Bookmark 1");
    EXPECT_TRUE(visible("DeleteBookmark1"));
    menu("DeleteBookmark1");
    EXPECT_EQ(count(), 2);
    EXPECT_EQ(slotTitle(1), "Bookmark 0");
    EXPECT_EQ(slotTitle(2), "Bookmark 2");
    EXPECT_EQ(shownSlots(), 2);
}

TEST_F(BookmarkPage, ARecordNumberWithQuotesStaysInsideItsLiteral) {
    fill(2);
    click("suiImageButton27");
    pointAt("musicpic1");
    // A record number that tries to end the literal deletes nothing.
    catalogue::Item odd = form->selection().currentItem();
    odd.recnum = "x\" OR \"1\"=\"1";
    const_cast<catalogue::Selection&>(form->selection()).choose(odd);
    page().RemoveBookmark();
    EXPECT_EQ(count(), 2);
}

TEST_F(BookmarkPage, TheTitleBarClosesEveryModeToTheDefaultLayout) {
    fill(1);
    click("suiImageButton27");
    // Insert mode.
    pointAt("featurepic1");
    menu("AddtoFavourites1");
    ASSERT_EQ(mode(), "insert");
    closeDialog();
    EXPECT_FALSE(visible("bookmarkbox"));
    EXPECT_TRUE(mainEnabled());
    EXPECT_EQ(page().store().count(), 1);
    EXPECT_FALSE(state<bool>("bookmarkConfirmed"));
    // The next delete-all shows the default layout.
    pointAt("musicpic1");
    menu("DeleteAllBookmarks1");
    EXPECT_TRUE(visible("Label1") && visible("Button1") && visible("Button2"));
    EXPECT_FALSE(visible("Label3") || visible("Button4") || visible("Button5"));
    // Delete-all mode.
    EXPECT_FALSE(mainEnabled());
    closeDialog();
    EXPECT_FALSE(visible("bookmarkbox"));
    EXPECT_TRUE(mainEnabled());
    // Duplicate mode.
    addFeature(1);
    addFeature(1);
    ASSERT_EQ(mode(), "duplicate");
    closeDialog();
    EXPECT_FALSE(visible("bookmarkbox"));
    EXPECT_TRUE(mainEnabled());
    EXPECT_FALSE(visible("Label2") || visible("Button3"));
    EXPECT_TRUE(visible("Label1"));
    EXPECT_EQ(page().store().count(), 2);
}

TEST_F(BookmarkPage, ThePlayerButtonStoresWhatPlaysWithThePlaceholderBeforeAnyTempJpg) {
    catalogue::Item item;
    item.mediaLink = "http://127.0.0.1:8090/media/played.wmv";
    item.title = "Café «Zürich» \"quoted\" it's";
    item.description = "Ünïcödé — 東京 \\ backslash";
    item.feedTitle = "Feed ✓";
    item.siteUrl = "site.example";
    item.mediaType = "video/x-ms-wmv";
    playing(item);
    ASSERT_FALSE(fs::exists("temp.jpg"));
    form->get<ui::Button>("playAddToBookmark").setEnabled(true);
    click("playAddToBookmark");
    EXPECT_TRUE(state<bool>("bookmarkFromNowPlaying"));
    click("Button4");
    EXPECT_FALSE(state<bool>("bookmarkFromNowPlaying"));
    ASSERT_EQ(count(), 1);
    const auto slot = app->state().get("bookmarkSlots")[0];
    EXPECT_EQ(slot["title"], item.title);
    EXPECT_EQ(slot["description"], item.description);
    EXPECT_EQ(slot["feedTitle"], item.feedTitle);
    EXPECT_EQ(slot["mediaLink"], item.mediaLink);
    EXPECT_EQ(readFile("book1.jpg"), readFile("noimage.jpg"));
    EXPECT_TRUE(visible("musicpic1"));
    EXPECT_TRUE(errors().empty()) << errors().front();
}

TEST_F(BookmarkPage, TheGridMenuStoresTheSelectedRow) {
    click("sqlsearchedit");
    app->dispatch(
        [&] { dynamic_cast<ui::Edit&>(*app->findControl("sqlsearchedit")).setText("surfing"); });
    click("mostpopularchecked");
    click("textSearch");
    ui::EventArgs args;
    args.col = 1;
    args.row = 2;
    event("stringgrid", ui::Event::SelectCell, args);
    const auto row = app->state().get("textResults")[1];
    ASSERT_NE(row["mediaLink"], "");
    menu("AddtoBookmarks1");
    EXPECT_EQ(mode(), "insert");
    click("Button4");
    ASSERT_EQ(count(), 1);
    const auto slot = app->state().get("bookmarkSlots")[0];
    EXPECT_EQ(slot["title"], row["title"]);
    EXPECT_EQ(slot["mediaLink"], row["mediaLink"]);
    // Nothing was played: the placeholder picture stands in for temp.jpg.
    EXPECT_EQ(readFile("book1.jpg"), readFile("noimage.jpg"));
    EXPECT_TRUE(errors().empty()) << errors().front();
}

TEST_F(BookmarkPage, ATempJpgThatIsNotAJpegStoresThePlaceholder) {
    std::ofstream("temp.jpg") << "<html>not a picture</html>";
    catalogue::Item item;
    item.mediaLink = "http://127.0.0.1:8090/media/other.wmv";
    item.title = "Other";
    playing(item);
    form->get<ui::Button>("playAddToBookmark").setEnabled(true);
    click("playAddToBookmark");
    click("Button4");
    ASSERT_EQ(count(), 1);
    EXPECT_EQ(readFile("book1.jpg"), readFile("noimage.jpg"));
    EXPECT_TRUE(errors().empty()) << errors().front();
}

TEST_F(BookmarkPage, ATempJpgThatIsAJpegIsStored) {
    fs::copy_file("fea1.jpg", "temp.jpg");
    catalogue::Item item;
    item.mediaLink = "http://127.0.0.1:8090/media/third.wmv";
    playing(item);
    form->get<ui::Button>("playAddToBookmark").setEnabled(true);
    click("playAddToBookmark");
    click("Button4");
    EXPECT_EQ(readFile("book1.jpg"), readFile("temp.jpg"));
}

TEST_F(BookmarkPage, AFailedInsertIsShownAndThePageStillReloads) {
    fill(2);
    catalogue::Item item;
    item.mediaLink = "http://127.0.0.1:8090/media/long.wmv";
    item.mediaType = std::string(300, 'x'); // longer than the column holds
    playing(item);
    form->get<ui::Button>("playAddToBookmark").setEnabled(true);
    click("playAddToBookmark");
    click("Button4");
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_THAT(errors().front(), HasSubstr("The bookmark was not saved"));
    EXPECT_EQ(count(), 2); // reloaded
    EXPECT_EQ(shownSlots(), 2);
    EXPECT_FALSE(state<bool>("bookmarkShowLast"));
    EXPECT_FALSE(visible("bookmarkbox"));
}

TEST_F(BookmarkPage, ButtonCaptionsTurnBlackUnderThePointer) {
    for (const char* name : {"playAddToBookmark", "suiImageButton27"}) {
        auto& b = form->get<ui::Button>(name);
        EXPECT_EQ(b.font().colour, (ui::Colour{128, 128, 128}));
        b.setEnabled(true);
        event(name, ui::Event::MouseEnter);
        EXPECT_EQ(b.font().colour, (ui::Colour{0, 0, 0}));
        event(name, ui::Event::MouseLeave);
        EXPECT_EQ(b.font().colour, (ui::Colour{128, 128, 128}));
    }
}

TEST_F(BookmarkPage, TheDialogIsASmallStayOnTopWindowCentredOnTheMainWindow) {
    pointAt("featurepic1");
    menu("AddtoFavourites1");
    auto& box = dynamic_cast<ui::Form&>(*app->findControl("bookmarkbox"));
    EXPECT_TRUE(box.stayOnTop());
    EXPECT_EQ(box.bounds().width, 307);
    EXPECT_EQ(box.bounds().height, 119);
    const auto& m = form->bounds();
    EXPECT_EQ(box.bounds().left, m.left + (m.width - 307) / 2);
    EXPECT_EQ(box.bounds().top, m.top + (m.height - 119) / 2);
}

TEST_F(BookmarkPage, WithoutTheStoreTheFirstBookmarkOperationReportsTheUnknownDatabase) {
    {
        db::Connection c(storeSettings());
        c.connect();
        c.execute("DROP DATABASE `Data`");
    }
    click("suiImageButton27");
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_THAT(errors().front(), HasSubstr("Unknown database 'Data'"));
    EXPECT_EQ(shownSlots(), 0);
    // The window goes on: the dialog's commands still answer.
    pointAt("featurepic1");
    menu("AddtoFavourites1");
    click("Button4");
    EXPECT_TRUE(mainEnabled());
    EXPECT_EQ(errors().size(), 2u);
}

TEST_F(BookmarkPage, AFailedDeleteAllIsShownAndTheDialogStillLetsTheWindowGo) {
    fill(2);
    click("suiImageButton27");
    pointAt("musicpic1");
    {
        db::Connection c(storeSettings());
        c.connect();
        c.execute("DROP DATABASE `Data`");
    }
    menu("DeleteAllBookmarks1");
    ASSERT_FALSE(mainEnabled());
    click("Button1");
    ASSERT_EQ(errors().size(), 1u);
    // The open store finds its table gone.
    EXPECT_THAT(errors().front(), HasSubstr("Data.Bookmark"));
    EXPECT_FALSE(visible("bookmarkbox"));
    EXPECT_TRUE(mainEnabled());
}

TEST_F(BookmarkPage, ClosingTheMainWindowClosesTheStore) {
    click("suiImageButton27");
    EXPECT_TRUE(state<bool>("bookmarkStoreOpen"));
    event("mainform", ui::Event::Close);
    EXPECT_FALSE(state<bool>("bookmarkStoreOpen"));
}

} // namespace
