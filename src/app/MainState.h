#pragma once
// The main window's shared state that belongs to no single subsystem: created with
// its start values when the window is made and kept until exit.
//
// Thread: user-interface thread only.

#include <array>
#include <string>

namespace app {

struct MainState {
    std::string pingTimeText; ///< round trip to the catalogue host in ms, or empty
    int floatWidth = 400, floatHeight = 350, floatTop = 100, floatLeft = 200;
    int mainWidth = 0, mainHeight = 0, mainTop = 0, mainLeft = 0;
    std::string windowMode;
    int controlBarStep = 0;
    int lastCursorX = 0, lastCursorY = 0;
    bool mediaWorkerStarted = false;
    /// Default texts of the information labels: title, three description lines, site.
    std::array<std::string, 5> infoDefaults{};
    /// Statement pieces from the global settings table (entries 1..8 and 1..4).
    std::array<std::string, 9> imageSearchSqlPart{};
    std::array<std::string, 5> textSearchSqlPart{};
    std::string ifilmKey;
};

} // namespace app
