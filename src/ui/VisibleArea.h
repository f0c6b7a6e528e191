#pragma once
// What of a control the user can see in its window: the control's rectangle, cut to
// each parent's and less every visible sibling stacked in front of it or of one of
// its parents. A native window drawn over its window's other controls (a media
// surface) shows only this much, so that a panel or page placed in front of it in
// the model stays in front on the screen.
//
// Thread: user-interface thread only, as the controls it reads.

#include <vector>

#include "ui/Control.h"

namespace ui {

/// The parts of `control` left uncovered, as rectangles in its own coordinates that
/// do not overlap; empty when it is not showing (hidden, on a hidden parent or an
/// inactive tab sheet) or wholly covered.
std::vector<Bounds> visibleArea(const Control& control);

/// True when `area` is the control's whole rectangle, uncovered.
bool wholeArea(const Control& control, const std::vector<Bounds>& area);

} // namespace ui
