#pragma once
// The program's windows and the order they are made in. One instance per process,
// owned by main.
//
// Thread: user-interface thread only.

#include <memory>
#include <string>

#include "app/Config.h"

namespace ui {
class Application;
}

namespace app {

class Tmainform;

class Program {
public:
    /// Sets the application's title and creates the forms.
    Program(ui::Application& app, Config config, std::string exeDir);
    ~Program();

    Tmainform& mainform() { return *mainform_; }
    /// Shows the first window, as the entry does after creating the forms.
    void start();

private:
    ui::Application& app_;
    Config config_;
    std::unique_ptr<Tmainform> mainform_;
};

} // namespace app
