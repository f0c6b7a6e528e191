#pragma once
// The main window (the form "mainform"): one large window of fixed regions — the
// video area, the information and search area, the tabbed browsing area and the
// right-hand column with the category tree and the slide-out side bar — holding
// every control the subsystems use, and the composition of those subsystems. It
// makes one instance of each, hands each the form and the collaborators it uses,
// and is the only code that knows them all.
//
// Thread: user-interface thread only.

#include <functional>
#include <memory>
#include <string>

#include "browse/Forward.h"
#include "catalogue/SlotTable.h"
#include "ui/Form.h"

namespace db {
class Waiter;
}
namespace bookmarks {
class BookmarkPage;
}
namespace catalogue {
class CatalogueServer;
class Selection;
} // namespace catalogue
namespace search {
class SearchBox;
class TextGrid;
} // namespace search
namespace player {
class Player;
}
namespace web {
class WebPages;
class WebSearches;
} // namespace web

namespace app {

class Config;
class OnlineMode;
class SplashDialog;
class WindowModes;
struct Services;

/// Designed client size of the main window.
inline constexpr int kDesignWidth = 958;
inline constexpr int kDesignHeight = 746;

class MainWindow : public ui::Form {
  public:
    /// Builds the window with every control at its designed bounds, composes the
    /// subsystems and creates and shows the splash dialog, which becomes the
    /// principal window; the main window stays hidden until the splash dialog
    /// shows it.
    MainWindow(ui::Application& app, const Config& config, std::string exeDir, Services& services);
    ~MainWindow() override;

    const Config& config() const { return config_; }
    /// The folder of the executable, where the skin files and the player movie lie.
    const std::string& exeDir() const { return exeDir_; }

    /// The composed subsystems, for the entry and the tests. Each changes its
    /// state only through its own operations.
    SplashDialog& splash() { return *splash_; }
    OnlineMode& online() { return *online_; }
    WindowModes& windowModes() { return *windowModes_; }
    catalogue::CatalogueServer& catalogueServer() { return *server_; }
    const catalogue::Selection& selection() const { return *selection_; }
    catalogue::Selection& selection() { return *selection_; }
    browse::Topics& topics() { return *topics_; }
    browse::FeaturePages& pages() { return *pages_; }
    browse::SideTabs& sideTabs() { return *sideTabs_; }
    browse::SlotBehaviour& slotBehaviour() { return *slotBehaviour_; }
    search::TextGrid& textGrid() { return *textGrid_; }
    search::SearchBox& searchBox() { return *searchBox_; }
    player::Player& player() { return *player_; }
    bookmarks::BookmarkPage& bookmarks() { return *bookmarks_; }
    web::WebPages& webPages() { return *webPages_; }
    web::WebSearches& webSearches() { return *webSearches_; }

  private:
    /// At creation (the form's create event): the start-up state, the menu and
    /// splash bindings, the repaint timer, and the splash dialog shown.
    void startUp();
    /// Every show (the form's show event): the search box's help state, the mode the user chose at
    /// the splash dialog, the start page, and a repaint after the layout.
    void prepareShownWindow();
    /// Space, F, Esc and Ctrl+L in the window.
    void keyPressed(std::string& key);
    /// The form's close event: closing the main window closes the splash dialog, which ends the
    /// program.
    void closeProgram();
    void compose(Services& services);

    void buildVideoArea();
    void buildInfoArea();
    void buildBrowsingArea();
    using NameOf = std::function<std::string(int slot)>;
    void buildThumbnailPage(ui::Control& sheet, const std::string& pic, const NameOf& captionName,
                            const NameOf& memoName, const std::string& topicButton, int picWidth,
                            const std::string& upperStrip, const std::string& lowerStrip);
    void buildRightColumn();
    void buildSideTab(ui::Control& sheet, const std::string& pic, const std::string& leftStrip,
                      const std::string& rightStrip);
    void buildHiddenPanel();
    void buildMenus();
    void buildTimers();

    const Config& config_;
    std::string exeDir_;
    std::unique_ptr<db::Waiter> waiter_;
    std::unique_ptr<catalogue::CatalogueServer> server_;
    std::unique_ptr<catalogue::Selection> selection_;
    std::unique_ptr<SplashDialog> splash_;
    std::unique_ptr<WindowModes> windowModes_;
    std::unique_ptr<browse::Topics> topics_;
    std::unique_ptr<browse::FeaturePages> pages_;
    std::unique_ptr<browse::SideTabs> sideTabs_;
    std::unique_ptr<browse::Categories> categories_;
    std::unique_ptr<browse::SlotBehaviour> slotBehaviour_;
    std::unique_ptr<bookmarks::BookmarkPage> bookmarks_;
    std::unique_ptr<OnlineMode> online_;
    std::unique_ptr<search::TextGrid> textGrid_;
    std::unique_ptr<search::SearchBox> searchBox_;
    std::unique_ptr<player::Player> player_;
    std::unique_ptr<web::WebPages> webPages_;
    std::unique_ptr<web::WebSearches> webSearches_;
};

} // namespace app
