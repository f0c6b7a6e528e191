#include "app/Program.h"

#include "app/Tmainform.h"
#include "ui/Application.h"

namespace app {

Program::Program(ui::Application& app, Config config, std::string exeDir)
    : app_(app), config_(std::move(config)) {
    app_.setTitle("Zorvex Video Browser");
    mainform_ = std::make_unique<Tmainform>(app_, config_, std::move(exeDir));
    app_.setPrincipal(mainform_.get());
}

Program::~Program() = default;

void Program::start() { mainform_->show(); }

} // namespace app
