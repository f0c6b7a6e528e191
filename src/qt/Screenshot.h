#pragma once
// Saves what a window shows as a PNG file, for checks of the window under Xvfb.
//
// Thread: user-interface thread only.

#include <QWidget>

#include <string>

namespace qtfront {

/// Renders `window` with its children and writes it to `path` as PNG. Returns false
/// when the file cannot be written.
bool saveScreenshot(QWidget& window, const std::string& path);

} // namespace qtfront
