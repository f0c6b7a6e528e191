#pragma once
// The program's windows, made in the entry's order. One instance per process,
// owned by main.
//
// Thread: user-interface thread only.

#include <memory>
#include <string>

#include "app/Config.h"
#include "app/Services.h"

namespace ui {
class Application;
}

namespace app {

class MainWindow;
class CopyDataSender;
class CopyDataReceiver;
} // namespace app
namespace bookmarks {
class BookmarkDialog;
}

namespace app {

class Program {
  public:
    /// Sets the application's title and creates the forms in the entry's order: the
    /// main window (whose creation shows the splash dialog), then the copy-data
    /// sender and receiver and the bookmark dialog.
    Program(ui::Application& app, Config config, std::string exeDir, Services services);
    ~Program();

    MainWindow& mainform() { return *mainform_; }
    CopyDataSender& sender() { return *sender_; }
    CopyDataReceiver& receiver() { return *receiver_; }

  private:
    ui::Application& app_;
    Config config_;
    Services services_;
    std::unique_ptr<MainWindow> mainform_;
    std::unique_ptr<CopyDataSender> sender_;
    std::unique_ptr<CopyDataReceiver> receiver_;
    std::unique_ptr<bookmarks::BookmarkDialog> bookmarkbox_;
};

} // namespace app
