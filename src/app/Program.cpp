#include "app/Program.h"

#include "app/Receiversave.h"
#include "app/SenderMain.h"
#include "app/Tmainform.h"
#include "bookmarks/Tbookmarkbox.h"
#include "ui/Application.h"

namespace app {

Program::Program(ui::Application& app, Config config, std::string exeDir, Services services)
    : app_(app), config_(std::move(config)), services_(std::move(services)) {
    app_.setTitle("Zorvex Video Browser");
    mainform_ = std::make_unique<Tmainform>(app_, config_, std::move(exeDir), services_);
    sender_ = std::make_unique<TSenderMainForm>(app_);
    receiver_ = std::make_unique<TReceiverMainForm>(app_);
    bookmarkbox_ = std::make_unique<bookmarks::Tbookmarkbox>(app_);
}

Program::~Program() = default;

} // namespace app
