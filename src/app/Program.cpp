#include "app/Program.h"

#include "app/CopyDataReceiver.h"
#include "app/CopyDataSender.h"
#include "app/MainWindow.h"
#include "bookmarks/BookmarkDialog.h"
#include "bookmarks/BookmarkPage.h"
#include "player/Player.h"
#include "ui/Application.h"

namespace app {

Program::Program(ui::Application& app, Config config, std::string exeDir, Services services)
    : app_(app), config_(std::move(config)), services_(std::move(services)) {
    app_.setTitle("Zorvex Video Browser");
    mainform_ = std::make_unique<MainWindow>(app_, config_, std::move(exeDir), services_);
    sender_ = std::make_unique<CopyDataSender>(app_, *services_.shell);
    receiver_ = std::make_unique<CopyDataReceiver>(
        app_, [this](std::string link) { mainform_->player().playHandedLink(std::move(link)); });
    bookmarkbox_ = std::make_unique<bookmarks::BookmarkDialog>(app_);
    mainform_->bookmarks().attachDialog(*bookmarkbox_);
}

Program::~Program() = default;

} // namespace app
