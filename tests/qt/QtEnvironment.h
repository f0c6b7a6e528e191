#pragma once
// The one QApplication of a gui test process, and where the test finds the skins.

#include <QApplication>
#include <QColor>
#include <QRect>

#include <functional>
#include <string>

namespace qttest {

/// Made on first use, through the front end's own set-up: on the X display when
/// there is one (the test command runs under Xvfb), offscreen otherwise.
QApplication& application();

/// The folder the build copies the skin files to (next to the program).
std::string skinFolder();

/// The share of the screen's pixels in `area` for which `counts` holds; 0 when the
/// screen cannot be read.
double screenShare(const QRect& area, const std::function<bool(const QColor&)>& counts);
/// The share of pixels far from grey in `area`: how much of a picture shows there.
double colourfulShare(const QRect& area);

} // namespace qttest
