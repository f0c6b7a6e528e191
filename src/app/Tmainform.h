#pragma once
// The main window: one large window of fixed regions that holds every control the
// browsing, search, bookmark, playback and web subsystems use, and the state they
// share.
//
// Thread: user-interface thread only.

#include <string>

#include "app/Config.h"
#include "ui/Form.h"

namespace ui {
class Application;
class Panel;
} // namespace ui

namespace app {

class Tmainform : public ui::Form {
public:
    /// Builds the window with its designed bounds; it stays hidden until shown.
    Tmainform(ui::Application& app, const Config& config, std::string exeDir);

    const Config& config() const { return config_; }
    /// The folder of the executable, where the skin files and the player movie lie.
    const std::string& exeDir() const { return exeDir_; }

private:
    const Config& config_;
    std::string exeDir_;
};

} // namespace app
