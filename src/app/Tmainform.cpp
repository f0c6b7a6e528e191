#include "app/Tmainform.h"

#include <nlohmann/json.hpp>

#include "ui/Application.h"
#include "ui/Widgets.h"

namespace app {

Tmainform::Tmainform(ui::Application& app, const Config& config, std::string exeDir)
    : ui::Form(app, "mainform"), config_(config), exeDir_(std::move(exeDir)) {
    setCaption(" Zorvex - Video Browser v2.1");
    setBounds(0, 0, 958, 746);
    setColour(ui::colours::black);
}

} // namespace app
