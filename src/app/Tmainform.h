#pragma once
// The main window: one large window of fixed regions — the video area, the
// information and search area, the tabbed browsing area and the right-hand column
// with the category tree and the slide-out side bar — holding every control the
// browsing, search, bookmark, playback and web subsystems use.
//
// Thread: user-interface thread only.

#include <functional>
#include <string>

#include <memory>

#include "app/Config.h"
#include "app/MainState.h"
#include "ui/Form.h"

namespace ui {
class Application;
class PageControl;
}
namespace catalogue {
class Catalogue;
}
namespace browse {
class Categories;
class FeaturePages;
class SideTabs;
class SlotBehaviour;
class Topics;
} // namespace browse

namespace app {

class OnlineMode;
class TAboutBox;
struct Services;

/// Designed client size of the main window.
inline constexpr int kDesignWidth = 958;
inline constexpr int kDesignHeight = 746;

class Tmainform : public ui::Form {
public:
    /// Builds the window with every control at its designed bounds and runs
    /// FormCreate, which creates and shows the splash dialog; the main window stays
    /// hidden until the splash dialog shows it.
    Tmainform(ui::Application& app, const Config& config, std::string exeDir, Services& services);
    ~Tmainform() override;

    const Config& config() const { return config_; }
    /// The folder of the executable, where the skin files and the player movie lie.
    const std::string& exeDir() const { return exeDir_; }

    MainState state;

    catalogue::Catalogue& catalogue() { return *catalogue_; }
    browse::FeaturePages& pages() { return *pages_; }
    browse::Topics& topics() { return *topics_; }
    browse::Categories& categories() { return *categories_; }
    browse::SlotBehaviour& slotBehaviour() { return *slotBehaviour_; }
    browse::SideTabs& sideTabs() { return *sideTabs_; }
    OnlineMode& online() { return *online_; }
    TAboutBox& aboutBox() { return *aboutBox_; }

    /// Makes tab `index` the active page and runs the page control's tab handler,
    /// as the toolkit does when code changes the active page.
    static void activateTab(ui::PageControl& pages, int index);

private:
    void FormCreate(Services& services);
    /// The application-wide mouse hook: in the float and full-screen modes a right
    /// press anywhere opens the window-mode menu; a right press on the player opens
    /// its menu; in float mode a left press outside the control bar drags the window.
    bool ApplicationEvents2Message(ui::Control& target, ui::Event event, const ui::EventArgs& args);
    void CMMouseEnter(int screenX, int screenY);
    void CMMouseActivate();
    bool inWindowMode() const { return state.windowMode == "1" || state.windowMode == "2"; }
    void FormShow();
    void FormClose();
    void registerState();

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
    std::unique_ptr<catalogue::Catalogue> catalogue_;
    std::unique_ptr<browse::FeaturePages> pages_;
    std::unique_ptr<browse::Topics> topics_;
    std::unique_ptr<browse::Categories> categories_;
    std::unique_ptr<browse::SlotBehaviour> slotBehaviour_;
    std::unique_ptr<browse::SideTabs> sideTabs_;
    std::unique_ptr<OnlineMode> online_;
    std::unique_ptr<TAboutBox> aboutBox_;
};

} // namespace app
