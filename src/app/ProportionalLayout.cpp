#include "app/ProportionalLayout.h"

#include <cmath>
#include <limits>

namespace app::layout {

namespace {

int truncated(double v) {
    if (!(v > std::numeric_limits<int>::min()) || !(v < std::numeric_limits<int>::max()))
        return v > 0 ? std::numeric_limits<int>::max() : 0;
    return static_cast<int>(v);
}

} // namespace

Size minimumWindow(Size window) {
    if (window.width < 600 || window.height < 500)
        return {600, 480};
    return window;
}

bool isWide(Size client) {
    if (client.height <= 0)
        return false;
    const double r = static_cast<double>(client.width) / static_cast<double>(client.height);
    return r > kWideRatio;
}

int scalePercent(double target, int current) {
    if (current <= 0)
        return 100;
    return truncated(target / current * 100);
}

int scaled(int value, int percent) {
    return static_cast<int>(std::lround(static_cast<double>(value) * percent / 100.0));
}

FitResult fit(const FitInput& in) {
    FitResult out;
    out.window = minimumWindow(in.window);
    const Size client = out.window;
    const double cw = client.width, ch = client.height;
    out.wide = isWide(client);

    auto& p6 = out.panel6;
    auto& p7 = out.panel7;
    auto& p8 = out.panel8;
    auto& p9 = out.panel9;
    if (out.wide) {
        out.s8 = scalePercent(ch * 0.535, in.panel8.height);
        out.s9 = scalePercent(ch * 0.905, in.panel9.height);
        out.s7 = scalePercent(ch * 0.4048, in.panel7.height);
    } else {
        out.s8 = scalePercent(cw * 0.758, in.panel8.width);
        out.s9 = scalePercent(cw * 0.25, in.panel9.width);
        out.s7 = scalePercent(cw * 0.3662, in.panel7.width);
    }
    p9.width = scaled(in.panel9.width, out.s9);
    p9.height = scaled(in.panel9.height, out.s9);
    p8.width = scaled(in.panel8.width, out.s8);
    p8.height = scaled(in.panel8.height, out.s8);
    p7.width = scaled(in.panel7.width, out.s7);
    p7.height = scaled(in.panel7.height, out.s7);

    if (out.wide)
        p9.left = truncated(out.window.height * 1.298) - p9.width - 5;
    else
        p9.left = out.window.width - p9.width - 5;
    p9.top = 50;
    out.sideBarWidth = p9.width;
    p8.top = p9.height - p8.height + (out.wide ? 80 : 50);
    p8.left = p9.left - p8.width - 10;
    p7.left = p9.left - p7.width - 10;
    p7.top = in.panel7Top;

    if (out.wide) {
        p6.height = truncated(ch * 0.402);
        p6.width = truncated(p6.height * 1.21);
    } else {
        p6.width = truncated(cw * 0.3777);
        p6.height = truncated(p6.width / 1.21);
    }
    p6.left = p7.left - p6.width;
    p6.top = p7.top;
    out.panel5Top = p6.height - in.panel5Height;
    out.panel5Width = p6.width;
    out.panel4Width = p6.width - 23;
    out.panel4Height = p6.height - 55;

    out.fullscreenButtonShown = !(out.window.width < 1000 || out.window.height < 765);
    out.secondaryShown = !(out.window.width < 800 || out.window.height < 600);
    return out;
}

ControlBarFit fitControlBar(bool floatMode, int windowWidth) {
    ControlBarFit out;
    if (!floatMode)
        return out;
    out.panel5Width = windowWidth;
    if (windowWidth < 400) {
        out.extras = ControlBarFit::Extras::Hidden;
        out.modeButtonLeft = 135;
    } else {
        out.extras = ControlBarFit::Extras::Shown;
        out.modeButtonLeft = 308;
    }
    return out;
}

} // namespace app::layout
