// Pointing at the thumbnails without a catalogue: enlargement toward the inside of
// each grid, the one-at-a-time rule, the information labels and their character
// cuts, the side-tab title bar, the thumbnail menu, the busy cursor and the page
// backgrounds. The slot tables are filled by hand.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <nlohmann/json.hpp>

#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/Services.h"
#include "browse/SlotBehaviour.h"
#include "catalogue/Selection.h"
#include "support/ProgramTest.h"
#include "ui/Application.h"
#include "ui/Image.h"
#include "ui/Menu.h"
#include "ui/PageControl.h"
#include "ui/Utf8.h"
#include "ui/Widgets.h"

namespace {

using catalogue::PageKind;

struct Family {
    std::string prefix;
    int count;
    std::string pageControl;
    int tab;
    PageKind page;
};

const std::vector<Family> kFamilies = {
    {"featurepic", 8, "suiPageControl1", 2, PageKind::pkFeature},
    {"specialpic", 8, "suiPageControl1", 3, PageKind::pkSpecial},
    {"videopic", 16, "sidepage", 0, PageKind::pkWorld},
    {"newspic", 16, "sidepage", 1, PageKind::pkNews},
    {"musicpic", 16, "sidepage", 2, PageKind::pkBookmarks},
};

std::string captionOf(const std::string& image) {
    if (image.rfind("featurepic", 0) == 0)
        return image + "caption";
    if (image.rfind("specialpic", 0) == 0)
        return "specialcaption" + image.substr(10);
    return "";
}

/// `count` characters cycling through one-, two-, three- and four-byte ones.
std::vector<std::string> mixedCharacters(std::size_t count, std::size_t from = 0) {
    static const std::vector<std::string> pool = {"a", "\xC3\xA9", "\xE6\x97\xA5",
                                                  "\xF0\x9F\x98\x80", "Z"};
    std::vector<std::string> out;
    for (std::size_t i = 0; i < count; ++i)
        out.push_back(pool[(from + i) % pool.size()]);
    return out;
}

std::string join(const std::vector<std::string>& chars, std::size_t from = 0,
                 std::size_t count = std::string::npos) {
    std::string out;
    for (std::size_t i = from; i < chars.size() && i - from < count; ++i)
        out += chars[i];
    return out;
}

class SlotBehaviour : public ::testing::Test {
  protected:
    SlotBehaviour() {
        app::Services services;
        services.echo = std::make_unique<testsupport::FakeEcho>();
        services.shell = std::make_unique<testsupport::FakeShell>();
        program = std::make_unique<app::Program>(app, app::Config(), ".", std::move(services));
        form = &program->mainform();
        form->show();
        // The side-tab thumbnails stay hidden until a fill shows them.
        for (const auto& f : kFamilies)
            for (int n = 1; n <= f.count; ++n)
                image(f.prefix + std::to_string(n)).show();
        // The thumbnails show the fixture's own items.
        using catalogue::PageKind;
        slots().readSlotsFrom(PageKind::pkFeature, tables.feature);
        slots().readSlotsFrom(PageKind::pkSpecial, tables.special);
        slots().readSlotsFrom(PageKind::pkWorld, tables.world);
        slots().readSlotsFrom(PageKind::pkNews, tables.news);
        slots().readSlotsFrom(PageKind::pkBookmarks, tables.bookmarks);
        errorsBefore = app.dialogs().log().size();
    }
    template <class T> T& get(const std::string& name) { return form->get<T>(name); }
    ui::Image& image(const std::string& name) { return get<ui::Image>(name); }
    const std::string& caption(const std::string& name) { return form->find(name)->caption(); }
    const catalogue::Selection& selection() { return form->selection(); }
    browse::SlotBehaviour& slots() { return form->slotBehaviour(); }
    struct Tables {
        catalogue::SlotTable feature, special, world, news, bookmarks;
    } tables;

    /// Brings the family's page to the front, as the user's choice of tab does.
    void showPage(const Family& f) { get<ui::PageControl>(f.pageControl).setActiveIndex(f.tab); }
    void deliver(const std::string& control, ui::Event e) {
        ui::EventArgs args;
        args.x = 5;
        args.y = 5;
        app.dispatch([&] { app.deliver(*form->find(control), e, args); });
    }
    void move(const std::string& control) { deliver(control, ui::Event::MouseMove); }
    void leave(const std::string& control) { deliver(control, ui::Event::MouseLeave); }
    bool noNewErrors() { return app.dialogs().log().size() == errorsBefore; }

    ui::Application app{ui::EventLoop::ClockKind::Virtual};
    std::unique_ptr<app::Program> program;
    app::MainWindow* form = nullptr;
    std::size_t errorsBefore = 0;
};

TEST_F(SlotBehaviour, EachPositionClassGrowsTowardTheInsideOfItsGrid) {
    struct Case {
        std::string name;
        int left, top; // edge moves on enter
    };
    const std::vector<Case> cases = {
        // 2 by 8: corners, edges and the middle.
        {"videopic1", 0, 0},
        {"videopic2", -20, 0},
        {"videopic3", 0, -10},
        {"newspic8", -20, -10},
        {"musicpic9", 0, -10},
        {"videopic14", -20, -10},
        {"newspic15", 0, -20},
        {"videopic16", -20, -20},
        // 4 by 2: corners, and the two middle columns of each row.
        {"featurepic1", 0, 0},
        {"featurepic2", -10, 0},
        {"specialpic3", -10, 0},
        {"featurepic4", -20, 0},
        {"specialpic5", 0, -20},
        {"featurepic6", -10, -20},
        {"featurepic7", -10, -20},
        {"specialpic8", -20, -20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto& family =
            *std::find_if(kFamilies.begin(), kFamilies.end(),
                          [&](const Family& f) { return c.name.rfind(f.prefix, 0) == 0; });
        showPage(family);
        auto& pic = image(c.name);
        const ui::Bounds before = pic.bounds();
        const std::string captionName = captionOf(c.name);
        const ui::Bounds captionBefore =
            captionName.empty() ? ui::Bounds{} : form->find(captionName)->bounds();

        move(c.name);
        EXPECT_EQ(pic.bounds(), (ui::Bounds{before.left + c.left, before.top + c.top,
                                            before.width + 20, before.height + 20}));
        if (!captionName.empty()) {
            // The caption panel moves with its thumbnail and widens, keeping its height.
            auto& panel = *form->find(captionName);
            EXPECT_EQ(panel.bounds(),
                      (ui::Bounds{captionBefore.left + c.left, captionBefore.top + c.top,
                                  captionBefore.width + 20, captionBefore.height}));
            EXPECT_GT(panel.zIndex(), pic.zIndex());
        } else {
            EXPECT_EQ(pic.zIndex(), static_cast<int>(pic.parent()->children().size()) - 1);
        }

        leave(c.name);
        EXPECT_EQ(pic.bounds(), before);
        if (!captionName.empty()) {
            EXPECT_EQ(form->find(captionName)->bounds(), captionBefore);
        }
    }
    // The examples as the user sees them (the shown window's layout scales the
    // side column's designed 97 by 76 thumbnails).
    showPage(kFamilies[2]);
    const ui::Bounds laidOut = image("videopic16").bounds();
    EXPECT_NEAR(laidOut.width, 97, 2);
    EXPECT_NEAR(laidOut.height, 76, 2);
    move("videopic16");
    EXPECT_EQ(image("videopic16").width(), laidOut.width + 20);
    EXPECT_EQ(image("videopic16").height(), laidOut.height + 20);
    leave("videopic16");
    EXPECT_EQ(image("videopic16").bounds(), laidOut);
    EXPECT_TRUE(noNewErrors());
}

TEST_F(SlotBehaviour, NoThumbnailEverGrowsPastItsGridAndLeavingPutsEachBackExactly) {
    for (const auto& f : kFamilies) {
        showPage(f);
        ui::Bounds grid{1 << 20, 1 << 20, 0, 0};
        std::map<int, ui::Bounds> start;
        int right = 0, bottom = 0;
        for (int n = 1; n <= f.count; ++n) {
            const auto b = image(f.prefix + std::to_string(n)).bounds();
            start[n] = b;
            grid.left = std::min(grid.left, b.left);
            grid.top = std::min(grid.top, b.top);
            right = std::max(right, b.left + b.width);
            bottom = std::max(bottom, b.top + b.height);
        }
        for (int n = 1; n <= f.count; ++n) {
            const std::string name = f.prefix + std::to_string(n);
            SCOPED_TRACE(name);
            move(name);
            const auto b = image(name).bounds();
            EXPECT_EQ(b.width, start[n].width + 20);
            EXPECT_GE(b.left, grid.left);
            EXPECT_GE(b.top, grid.top);
            EXPECT_LE(b.left + b.width, right);
            EXPECT_LE(b.top + b.height, bottom);
            leave(name);
        }
        for (int n = 1; n <= f.count; ++n)
            EXPECT_EQ(image(f.prefix + std::to_string(n)).bounds(), start[n]) << f.prefix << n;
    }
    EXPECT_THROW(browse::edgeShift(browse::GridShape::FourByTwo, 9), std::out_of_range);
    EXPECT_THROW(browse::edgeShift(browse::GridShape::TwoByEight, 0), std::out_of_range);
}

TEST_F(SlotBehaviour, PointingSelectsTheSlotIntoTheCurrentItemAndTheLabelsByCharacters) {
    const auto title = mixedCharacters(47);
    const auto description = mixedCharacters(120, 1);
    const auto site = mixedCharacters(45, 2);
    auto& item = tables.feature.at(6);
    item = {"http://media.example/6.wmv",
            join(title),
            join(description),
            join(site),
            "video/x-ms-wmv",
            "4711",
            "The Feed"};
    image("featurepic6").setPicture(ui::Picture(4, 3, std::vector<std::uint8_t>(36, 200)));
    showPage(kFamilies[0]);

    move("featurepic6");
    EXPECT_TRUE(app.state().get("hoverEnlarged").get<bool>());
    const auto& current = selection().currentItem();
    EXPECT_EQ(current.title, item.title);
    EXPECT_EQ(current.description, item.description);
    EXPECT_EQ(current.siteUrl, item.siteUrl);
    EXPECT_EQ(current.mediaLink, item.mediaLink);
    EXPECT_EQ(current.mediaType, item.mediaType);
    EXPECT_EQ(current.recnum, "4711");
    EXPECT_EQ(current.feedTitle, "The Feed");
    EXPECT_EQ(selection().playLink(), item.mediaLink);
    EXPECT_EQ(selection().selectionTitle(), item.title);

    // A 120-character description gives 50, 50 and 20 characters; no character is split.
    EXPECT_EQ(caption("titledis"), join(title, 0, 40));
    EXPECT_EQ(caption("descdis1"), join(description, 0, 50));
    EXPECT_EQ(caption("descdis2"), join(description, 50, 50));
    EXPECT_EQ(caption("descdis3"), join(description, 100, 50));
    EXPECT_EQ(caption("descdis4"), join(site, 0, 40) + "..");
    EXPECT_EQ(ui::utf8::length(caption("descdis3")), 20u);

    // The information picture is a copy of the thumbnail's picture; the current
    // item refers to the thumbnail's own, so a later fill of it shows there only.
    EXPECT_EQ(current.picture, image("featurepic6").picture());
    EXPECT_TRUE(get<ui::Image>("infoImage").visible());
    EXPECT_EQ(get<ui::Image>("infoImage").picture()->width(), 4);
    image("featurepic6").setPicture(ui::Picture(2, 2, std::vector<std::uint8_t>(12, 0)));
    EXPECT_EQ(current.picture->width(), 2);
    EXPECT_EQ(get<ui::Image>("infoImage").picture()->width(), 4);

    // The 8-slot pages leave the side-tab title bar alone.
    EXPECT_FALSE(get<ui::CaptionPanel>("infoPanel").visible());

    // Leaving puts the defaults back but keeps the current item for a later click.
    leave("featurepic6");
    const auto defaults = app.state().get("infoDefaults");
    const char* labels[] = {"titledis", "descdis1", "descdis2", "descdis3", "descdis4"};
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_EQ(caption(labels[i]), defaults[i].get<std::string>()) << labels[i];
    EXPECT_EQ(caption("titledis"), "Zorvex");
    EXPECT_FALSE(get<ui::Image>("infoImage").visible());
    EXPECT_EQ(current.title, item.title);
    EXPECT_EQ(selection().playLink(), item.mediaLink);

    // Short and empty texts give short and empty lines.
    tables.feature.at(2) = {"", "Short", "Ten chars.", "", "", "", ""};
    move("featurepic2");
    EXPECT_EQ(caption("titledis"), "Short");
    EXPECT_EQ(caption("descdis1"), "Ten chars.");
    EXPECT_EQ(caption("descdis2"), "");
    EXPECT_EQ(caption("descdis3"), "");
    EXPECT_EQ(caption("descdis4"), "..");
    EXPECT_EQ(selection().playLink(), "");
    EXPECT_TRUE(noNewErrors());
}

TEST_F(SlotBehaviour, SideTabThumbnailsShowATitleBarOverThemselves) {
    tables.world.at(1).title = "Ten chars!";
    const auto longTitle = mixedCharacters(30);
    tables.world.at(12).title = join(longTitle);
    tables.news.at(7).title = join(longTitle);
    tables.bookmarks.at(16).title = join(longTitle);
    auto& bar = get<ui::CaptionPanel>("infoPanel");

    showPage(kFamilies[2]);
    move("videopic1");
    EXPECT_EQ(bar.caption(), "Ten chars!..");
    EXPECT_TRUE(bar.visible());
    EXPECT_TRUE(bar.collapsed());
    leave("videopic1");
    EXPECT_FALSE(bar.visible());

    move("videopic12");
    EXPECT_EQ(bar.caption(), join(longTitle, 0, 15) + "..");
    // Over the enlarged thumbnail: 8 down and 3 right of its corner, as wide as it.
    const auto pic = image("videopic12").bounds();
    EXPECT_EQ(bar.top(), pic.top + 8);
    EXPECT_EQ(bar.left(), pic.left + 3);
    EXPECT_EQ(bar.width(), pic.width);
    EXPECT_EQ(bar.zIndex(), static_cast<int>(bar.parent()->children().size()) - 1);
    leave("videopic12");

    showPage(kFamilies[3]);
    move("newspic7");
    EXPECT_EQ(bar.caption(), join(longTitle, 0, 18) + "..");
    leave("newspic7");
    showPage(kFamilies[4]);
    move("musicpic16");
    EXPECT_EQ(bar.caption(), join(longTitle, 0, 18) + "..");
    EXPECT_EQ(bar.top(), image("musicpic16").top() + 8);
    leave("musicpic16");
    EXPECT_FALSE(bar.visible());
    EXPECT_TRUE(noNewErrors());
}

TEST_F(SlotBehaviour, TheThumbnailMenuOffersDeletingOnlyForBookmarks) {
    auto& add = get<ui::MenuItem>("AddtoFavourites1");
    auto& del = get<ui::MenuItem>("DeleteBookmark1");
    auto& delAll = get<ui::MenuItem>("DeleteAllBookmarks1");
    showPage(kFamilies[4]);
    move("musicpic3");
    EXPECT_FALSE(add.visible());
    EXPECT_TRUE(del.visible());
    EXPECT_TRUE(delAll.visible());
    leave("musicpic3");
    for (const std::string name : {"videopic3", "newspic3", "specialpic3", "featurepic3"}) {
        const auto& f = *std::find_if(kFamilies.begin(), kFamilies.end(), [&](const Family& fam) {
            return name.rfind(fam.prefix, 0) == 0;
        });
        showPage(f);
        move(name);
        EXPECT_TRUE(add.visible()) << name;
        EXPECT_FALSE(del.visible()) << name;
        EXPECT_FALSE(delAll.visible()) << name;
        leave(name);
        showPage(kFamilies[4]);
        move("musicpic3");
        leave("musicpic3");
    }
}

TEST_F(SlotBehaviour, OnlyOneThumbnailIsEnlargedAtATime) {
    tables.world.at(1).title = "first";
    tables.world.at(2).title = "second";
    showPage(kFamilies[2]);
    const auto first = image("videopic1").bounds();
    const auto second = image("videopic2").bounds();

    move("videopic1");
    move("videopic2"); // the first one's leave has not come yet
    EXPECT_EQ(image("videopic2").bounds(), second);
    EXPECT_EQ(selection().currentItem().title, "first");
    EXPECT_EQ(caption("titledis"), "first");
    EXPECT_TRUE(app.state().get("hoverMoved").get<bool>());

    leave("videopic1");
    EXPECT_EQ(image("videopic1").bounds(), first);
    EXPECT_FALSE(app.state().get("hoverEnlarged").get<bool>());
    EXPECT_FALSE(app.state().get("hoverMoved").get<bool>());
    move("videopic2");
    EXPECT_EQ(image("videopic2").width(), second.width + 20);
    EXPECT_EQ(selection().currentItem().title, "second");
    leave("videopic2");

    // A leave that never came: the next leave, from another thumbnail, shrinks the
    // one that is enlarged and leaves the other at its size and place.
    move("videopic1");
    move("videopic2");
    leave("videopic2");
    EXPECT_EQ(image("videopic1").bounds(), first);
    EXPECT_EQ(image("videopic2").bounds(), second);
    EXPECT_FALSE(app.state().get("hoverEnlarged").get<bool>());
    EXPECT_FALSE(get<ui::CaptionPanel>("infoPanel").visible());

    // A leave without a move before it changes nothing.
    leave("videopic2");
    EXPECT_EQ(image("videopic2").bounds(), second);
    EXPECT_TRUE(noNewErrors());
}

TEST_F(SlotBehaviour, TheBusyArrowShowsWhileAStreamLoadsAndPointingStillWorks) {
    tables.special.at(4).title = "loading meanwhile";
    showPage(kFamilies[1]);
    auto& busy = get<ui::Animation>("Animate1");
    busy.setActive(true);
    move("specialpic4");
    EXPECT_EQ(image("specialpic4").cursor(), ui::Cursor::AppStart);
    EXPECT_EQ(image("specialpic4").width(), 180);
    EXPECT_EQ(caption("titledis"), "loading meanwhile");
    busy.setActive(false);
    move("specialpic4");
    EXPECT_EQ(image("specialpic4").cursor(), ui::Cursor::HandPoint);
    EXPECT_EQ(image("specialpic4").width(), 180); // a further move does not grow it again
    leave("specialpic4");
    EXPECT_EQ(image("specialpic4").width(), 160);
}

TEST_F(SlotBehaviour, ThePageBackgroundClosesOpenedCaptionsAndEmptiesTheSelectionMemo) {
    auto& memo = get<ui::Memo>("sqlvideomemo");
    auto& opened = get<ui::CaptionPanel>("featurepic2caption");
    auto& openedSpecial = get<ui::CaptionPanel>("specialcaption5");
    opened.open();
    openedSpecial.open();
    ASSERT_FALSE(opened.collapsed());

    // The side tabs' backgrounds only empty the memo.
    get<ui::PageControl>("sidepage").setActiveIndex(0);
    for (const char* side : {"sidepage", "suiTabSheet6"}) {
        memo.setText("cell one");
        move(side);
        EXPECT_TRUE(memo.lines().empty()) << side;
    }
    EXPECT_FALSE(opened.collapsed());

    showPage(kFamilies[0]);
    memo.setText("cell one");
    move("suiTabSheet8");
    EXPECT_TRUE(opened.collapsed());
    EXPECT_EQ(opened.height(), opened.titleHeight());
    EXPECT_FALSE(openedSpecial.collapsed()); // another page's captions stay
    EXPECT_TRUE(memo.lines().empty());
    showPage(kFamilies[1]);
    move("suiTabSheet9");
    EXPECT_TRUE(openedSpecial.collapsed());
    EXPECT_TRUE(noNewErrors());
}

} // namespace
