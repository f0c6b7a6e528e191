// The proportional layout's arithmetic: the minimum window, the wide and narrow
// branches at and around their ratio, the region scaling, the size thresholds and
// the control bar's contents.

#include <gtest/gtest.h>

#include <cmath>

#include "app/ProportionalLayout.h"

namespace {

using app::layout::ControlBarFit;
using app::layout::FitInput;
using app::layout::Size;

/// The regions as designed.
FitInput designed(Size window) {
    FitInput in;
    in.window = window;
    in.panel7 = {352, 300};
    in.panel8 = {720, 392};
    in.panel9 = {235, 692};
    in.panel7Top = 54;
    in.panel5Height = 50;
    return in;
}

TEST(ProportionalLayout, ASmallWindowBecomes600By480) {
    using app::layout::minimumWindow;
    EXPECT_EQ(minimumWindow({599, 900}), (Size{600, 480}));
    EXPECT_EQ(minimumWindow({900, 499}), (Size{600, 480}));
    EXPECT_EQ(minimumWindow({0, 0}), (Size{600, 480}));
    EXPECT_EQ(minimumWindow({-5, -5}), (Size{600, 480}));
    EXPECT_EQ(minimumWindow({600, 500}), (Size{600, 500}));
    EXPECT_EQ(minimumWindow({20000, 15000}), (Size{20000, 15000}));
}

TEST(ProportionalLayout, ARatioOfExactly1Point2989IsNarrow) {
    using app::layout::isWide;
    EXPECT_FALSE(isWide({12989, 10000}));
    EXPECT_TRUE(isWide({12990, 10000}));
    EXPECT_TRUE(isWide({1299, 1000}));
    EXPECT_FALSE(isWide({1298, 1000}));
    EXPECT_FALSE(isWide({958, 746}));
    EXPECT_FALSE(isWide({100, 0}));

    auto at = app::layout::fit(designed({12989, 10000}));
    EXPECT_FALSE(at.wide);
    EXPECT_EQ(at.panel9.left, 12989 - at.panel9.width - 5);
    auto above = app::layout::fit(designed({12990, 10000}));
    EXPECT_TRUE(above.wide);
    EXPECT_EQ(above.panel9.left, 12980 - above.panel9.width - 5); // 10000 x 1.298
}

TEST(ProportionalLayout, TheDesignedWindowIsLaidOutByItsWidth) {
    auto r = app::layout::fit(designed({958, 746}));
    EXPECT_FALSE(r.wide);
    EXPECT_EQ(r.s8, 100); // 958 x 0.758 / 720 = 1.0086
    EXPECT_EQ(r.s9, 101); // 958 x 0.25 / 235 = 1.0191
    EXPECT_EQ(r.s7, 99);  // 958 x 0.3662 / 352 = 0.9966
    EXPECT_EQ(r.panel9, (ui::Bounds{716, 50, 237, 699}));
    EXPECT_EQ(r.sideBarWidth, 237);
    EXPECT_EQ(r.panel8, (ui::Bounds{-14, 357, 720, 392}));
    EXPECT_EQ(r.panel7, (ui::Bounds{358, 54, 348, 297}));
    EXPECT_EQ(r.panel6, (ui::Bounds{-3, 54, 361, 298})); // 958 x 0.3777; / 1.21
    EXPECT_EQ(r.panel5Top, 248);
    EXPECT_EQ(r.panel5Width, 361);
    EXPECT_EQ(r.panel4Width, 338);
    EXPECT_EQ(r.panel4Height, 243);
    EXPECT_FALSE(r.fullscreenButtonShown); // 746 < 765
    EXPECT_TRUE(r.secondaryShown);
}

TEST(ProportionalLayout, AWideWindowIsLaidOutByItsHeight) {
    auto r = app::layout::fit(designed({1400, 800}));
    EXPECT_TRUE(r.wide);
    EXPECT_EQ(r.s8, 109); // 800 x 0.535 / 392
    EXPECT_EQ(r.s9, 104); // 800 x 0.905 / 692
    EXPECT_EQ(r.s7, 107); // 800 x 0.4048 / 300
    // The right column at 1.298 times the height, leaving a strip on the right.
    EXPECT_EQ(r.panel9, (ui::Bounds{789, 50, 244, 720}));
    EXPECT_EQ(r.panel8, (ui::Bounds{-6, 373, 785, 427}));
    EXPECT_EQ(r.panel7, (ui::Bounds{402, 54, 377, 321}));
    EXPECT_EQ(r.panel6, (ui::Bounds{14, 54, 388, 321})); // 800 x 0.402; x 1.21
    EXPECT_EQ(r.panel5Top, 271);
    EXPECT_EQ(r.panel4Width, 365);
    EXPECT_EQ(r.panel4Height, 266);
    EXPECT_TRUE(r.fullscreenButtonShown);
    EXPECT_TRUE(r.secondaryShown);
}

TEST(ProportionalLayout, TheThresholdsHideControlsOnSmallWindows) {
    struct Case {
        Size window;
        bool fullscreen, secondary;
    };
    for (const Case& c : {Case{{1000, 765}, true, true}, Case{{999, 765}, false, true},
                          Case{{1000, 764}, false, true}, Case{{800, 600}, false, true},
                          Case{{799, 600}, false, false}, Case{{800, 599}, false, false},
                          Case{{500, 400}, false, false}, Case{{30000, 20000}, true, true}}) {
        auto r = app::layout::fit(designed(c.window));
        EXPECT_EQ(r.fullscreenButtonShown, c.fullscreen)
            << c.window.width << "x" << c.window.height;
        EXPECT_EQ(r.secondaryShown, c.secondary) << c.window.width << "x" << c.window.height;
    }
    auto small = app::layout::fit(designed({500, 400}));
    EXPECT_EQ(small.window, (Size{600, 480}));
    EXPECT_FALSE(small.wide); // 600 / 480 = 1.25
}

TEST(ProportionalLayout, RepeatedLayoutsConvergeToTheTargetFractions) {
    for (Size window : {Size{1400, 800}, Size{700, 900}, Size{4000, 2200}, Size{600, 480}}) {
        FitInput in = designed(window);
        app::layout::FitResult r;
        for (int i = 0; i < 8; ++i) {
            r = app::layout::fit(in);
            in.panel7 = {r.panel7.width, r.panel7.height};
            in.panel8 = {r.panel8.width, r.panel8.height};
            in.panel9 = {r.panel9.width, r.panel9.height};
        }
        const auto again = app::layout::fit(in);
        if (r.wide) {
            EXPECT_NEAR(r.panel8.height, r.window.height * 0.535, r.window.height * 0.011);
            EXPECT_NEAR(r.panel9.height, r.window.height * 0.905, r.window.height * 0.011);
        } else {
            EXPECT_NEAR(r.panel8.width, r.window.width * 0.758, r.window.width * 0.011);
            EXPECT_NEAR(r.panel9.width, r.window.width * 0.25, r.window.width * 0.011);
        }
        // Once converged, a further layout moves nothing.
        EXPECT_EQ(again.panel8, r.panel8);
        EXPECT_EQ(again.panel9, r.panel9);
    }
}

TEST(ProportionalLayout, ARegionOfNoSizeIsLeftUnscaled) {
    FitInput in = designed({958, 746});
    in.panel8 = {0, 0};
    auto r = app::layout::fit(in);
    EXPECT_EQ(r.s8, 100);
    EXPECT_EQ(r.panel8.width, 0);
    EXPECT_EQ(app::layout::scalePercent(10, -3), 100);
}

TEST(ProportionalLayout, TheControlBarFollowsTheModeAndTheFloatWidth) {
    using Extras = ControlBarFit::Extras;
    EXPECT_EQ(app::layout::fitControlBar(false, 300), (ControlBarFit{363, Extras::Unchanged, -1}));
    EXPECT_EQ(app::layout::fitControlBar(true, 399), (ControlBarFit{399, Extras::Hidden, 135}));
    EXPECT_EQ(app::layout::fitControlBar(true, 400), (ControlBarFit{400, Extras::Shown, 308}));
    EXPECT_EQ(app::layout::fitControlBar(true, 1920), (ControlBarFit{1920, Extras::Shown, 308}));
}

} // namespace
