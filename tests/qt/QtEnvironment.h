#pragma once
// The one QApplication of a gui test process, and where the test finds the skins.

#include <QApplication>

#include <string>

namespace qttest {

/// Made on first use, through the front end's own set-up: on the X display when
/// there is one (the test command runs under Xvfb), offscreen otherwise.
QApplication& application();

/// The folder the build copies the skin files to (next to the program).
std::string skinFolder();

} // namespace qttest
