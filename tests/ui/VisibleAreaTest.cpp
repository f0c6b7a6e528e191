// What of a control is left to see: cut by its parents, less the visible siblings
// in front of it and of its parents.

#include <gtest/gtest.h>

#include <algorithm>

#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/PageControl.h"
#include "ui/Timer.h"
#include "ui/VisibleArea.h"
#include "ui/Widgets.h"

namespace {

struct VisibleArea : ::testing::Test {
    ui::Application app{ui::EventLoop::ClockKind::Virtual};
    ui::Form form{app, "form"};
    ui::Panel& area = place<ui::Panel>(form, "area", 10, 50, 360, 300);
    ui::Panel& player = place<ui::Panel>(area, "player", 10, 5, 340, 245);
    ui::MediaSurface& surface = place<ui::MediaSurface>(player, "surface", 0, 0, 340, 245);

    VisibleArea() {
        form.setBounds(100, 100, 960, 750);
        form.show();
    }
    template <class T>
    static T& place(ui::Control& parent, const std::string& name, int l, int t, int w, int h) {
        auto& c = parent.add<T>(name);
        c.setBounds(l, t, w, h);
        return c;
    }
    /// The pixels of an area; its parts must not overlap.
    static long pixels(const std::vector<ui::Bounds>& parts) {
        long n = 0;
        for (const auto& p : parts)
            n += long(p.width) * p.height;
        return n;
    }
    static bool inside(const std::vector<ui::Bounds>& parts, int x, int y) {
        return std::any_of(parts.begin(), parts.end(), [&](const ui::Bounds& p) {
            return x >= p.left && x < p.left + p.width && y >= p.top && y < p.top + p.height;
        });
    }
};

TEST_F(VisibleArea, AnUncoveredControlShowsWhole) {
    const auto parts = ui::visibleArea(surface);
    EXPECT_TRUE(ui::wholeArea(surface, parts));
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_EQ(parts[0], (ui::Bounds{0, 0, 340, 245}));
}

TEST_F(VisibleArea, APanelInFrontOfAParentCoversIt) {
    // The idle screen in front of the player area hides the surface, while the
    // surface itself stays visible in the model.
    auto& idle = place<ui::Panel>(area, "idle", 0, 0, 360, 300);
    EXPECT_TRUE(surface.visible());
    EXPECT_TRUE(ui::visibleArea(surface).empty());
    idle.sendToBack();
    EXPECT_TRUE(ui::wholeArea(surface, ui::visibleArea(surface)));
    idle.bringToFront();
    idle.hide();
    EXPECT_TRUE(ui::wholeArea(surface, ui::visibleArea(surface)));
}

TEST_F(VisibleArea, HiddenParentsAndInactiveSheetsShowNothing) {
    player.hide();
    EXPECT_TRUE(ui::visibleArea(surface).empty());
    player.show();
    form.hide();
    EXPECT_TRUE(ui::visibleArea(surface).empty());
    form.show();

    auto& pages = place<ui::PageControl>(form, "pages", 0, 360, 700, 380);
    auto& first = pages.addPage("first", "First");
    auto& second = pages.addPage("second", "Second");
    auto& onSecond = place<ui::MediaSurface>(second, "onSecond", 10, 10, 100, 80);
    place<ui::Panel>(first, "content", 0, 0, 700, 380);
    EXPECT_TRUE(ui::visibleArea(onSecond).empty());
    pages.setActiveIndex(1);
    EXPECT_TRUE(ui::wholeArea(onSecond, ui::visibleArea(onSecond)));
}

TEST_F(VisibleArea, ABarOverTheBottomLeavesTheRestAndParentsCutTheEdges) {
    // A control bar in front of the lower 50 pixels (as in full screen).
    auto& bar = place<ui::Panel>(area, "bar", 0, 200, 360, 100);
    auto parts = ui::visibleArea(surface);
    EXPECT_FALSE(ui::wholeArea(surface, parts));
    EXPECT_EQ(pixels(parts), 340L * 195);
    EXPECT_TRUE(inside(parts, 0, 0));
    EXPECT_TRUE(inside(parts, 339, 194));
    EXPECT_FALSE(inside(parts, 0, 195));
    bar.hide();

    // Larger than its parent, the surface is cut to the parent (which is cut to its
    // own parent in turn), in the surface's own coordinates.
    surface.setBounds(-20, -10, 500, 400);
    parts = ui::visibleArea(surface);
    EXPECT_EQ(pixels(parts), 340L * 245);
    EXPECT_TRUE(inside(parts, 20, 10));
    EXPECT_FALSE(inside(parts, 19, 10));
    EXPECT_FALSE(inside(parts, 20 + 340, 10));
    player.setBounds(10, 5, 400, 245); // now wider than the area too
    EXPECT_EQ(pixels(ui::visibleArea(surface)), 350L * 245);
}

TEST_F(VisibleArea, SeveralCoversLeaveDisjointParts) {
    place<ui::Label>(player, "a", 100, 100, 50, 50);
    place<ui::Label>(player, "b", 120, 120, 50, 50); // overlaps a
    place<ui::Panel>(form, "beside", 0, 0, 20, 700); // over the area's left edge
    auto& hidden = place<ui::Panel>(player, "hidden", 0, 0, 340, 245);
    hidden.hide();
    auto& timer = player.add<ui::Timer>("tick");
    (void)timer;
    const auto parts = ui::visibleArea(surface);
    // a and b cover 50*50*2 - 30*30; "beside" covers the area's first 10 pixels,
    // which are the player's first 0: the player starts 10 pixels in.
    EXPECT_EQ(pixels(parts), 340L * 245 - (2 * 2500 - 900));
    EXPECT_FALSE(inside(parts, 125, 125));
    EXPECT_FALSE(inside(parts, 165, 165));
    EXPECT_TRUE(inside(parts, 160, 100));
    for (std::size_t i = 0; i < parts.size(); ++i)
        for (std::size_t j = i + 1; j < parts.size(); ++j) {
            const auto& p = parts[i];
            const auto& q = parts[j];
            const bool apart = p.left + p.width <= q.left || q.left + q.width <= p.left ||
                               p.top + p.height <= q.top || q.top + q.height <= p.top;
            EXPECT_TRUE(apart) << i << " " << j;
        }
}

} // namespace
