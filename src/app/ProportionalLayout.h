#pragma once
// The arithmetic of the main window's proportional layout and of the control bar,
// as pure functions: from the window's size and the regions' current sizes to the
// regions' new places, the scale of each region and which controls stay shown.
// WindowModes applies the results to the controls.
//
// Thread: any (no state).

#include "ui/Control.h"

namespace app::layout {

/// A client area wider than this many times its height is laid out by its height.
inline constexpr double kWideRatio = 1.2989;

struct Size {
    int width = 0, height = 0;
    bool operator==(const Size&) const = default;
};

/// A window below 600 wide or 500 high is set to 600 by 480.
Size minimumWindow(Size window);
/// True when width / height is greater than kWideRatio (a ratio of exactly 1.2989
/// is narrow). An empty height counts as narrow.
bool isWide(Size client);
/// target / current × 100, truncated: the percent that scales `current` to
/// `target`. A region of no size is left as it is (100).
int scalePercent(double target, int current);
/// `value` scaled by `percent`, to the nearest pixel.
int scaled(int value, int percent);

/// What the layout reads from the window.
struct FitInput {
    Size window;                 ///< the window's size (the client area: the frame is drawn inside)
    Size panel7, panel8, panel9; ///< information area, browsing area, right column
    int panel7Top = 0;
    int panel5Height = 0; ///< the control bar
};

/// Where the layout puts everything.
struct FitResult {
    Size window; ///< after the minimum-size rule
    bool wide = false;
    int s7 = 100, s8 = 100, s9 = 100; ///< percents the three regions are scaled by
    ui::Bounds panel6, panel7, panel8, panel9;
    int sideBarWidth = 0; ///< `videosidebarslide`
    int panel5Top = 0, panel5Width = 0;
    int panel4Width = 0, panel4Height = 0;
    bool fullscreenButtonShown = true; ///< window at least 1000 by 765
    bool secondaryShown = true;        ///< window at least 800 by 600
};

FitResult fit(const FitInput& in);

/// The control bar's contents for the window mode.
struct ControlBarFit {
    int panel5Width = 363;
    enum class Extras { Unchanged, Hidden, Shown } extras = Extras::Unchanged;
    int modeButtonLeft = -1; ///< left of `fullscreenbutton` and `normalscreen`; -1: unchanged
    bool operator==(const ControlBarFit&) const = default;
};

ControlBarFit fitControlBar(bool floatMode, int windowWidth);

} // namespace app::layout
