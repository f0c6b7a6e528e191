#include "app/MainWindow.h"

#include <cstdlib>

#include <nlohmann/json.hpp>

#include "app/Config.h"
#include "app/OnlineMode.h"
#include "app/Services.h"
#include "app/SplashDialog.h"
#include "app/WindowModes.h"
#include "bookmarks/BookmarkPage.h"
#include "browse/Categories.h"
#include "browse/FeaturePages.h"
#include "browse/SideTabs.h"
#include "browse/SlotBehaviour.h"
#include "browse/Topics.h"
#include "catalogue/CatalogueServer.h"
#include "catalogue/Selection.h"
#include "db/Connection.h"
#include "player/PlaybackState.h"
#include "player/Player.h"
#include "player/PlayerMovie.h"
#include "player/WorkerRoute.h"
#include "search/SearchBox.h"
#include "search/TextGrid.h"
#include "ui/Application.h"
#include "ui/Image.h"
#include "ui/Menu.h"
#include "ui/PageControl.h"
#include "ui/StringGrid.h"
#include "ui/Timer.h"
#include "ui/TreeView.h"
#include "ui/WebView.h"
#include "ui/Widgets.h"
#include "web/WebPages.h"
#include "web/WebSearches.h"

namespace app {

namespace {

constexpr ui::Colour kGrey{128, 128, 128};
constexpr ui::Colour kPanelText{230, 230, 230};

template <class T>
T& place(ui::Control& parent, const std::string& name, int left, int top, int width, int height) {
    T& c = parent.add<T>(name);
    c.setBounds(left, top, width, height);
    return c;
}

ui::Label& label(ui::Control& parent, const std::string& name, const std::string& caption, int left,
                 int top, int width, int height = 16) {
    auto& l = place<ui::Label>(parent, name, left, top, width, height);
    l.setCaption(caption);
    return l;
}

ui::Button& button(ui::Control& parent, const std::string& name, const std::string& caption,
                   const std::string& hint, int left, int top, int width, int height) {
    auto& b = place<ui::Button>(parent, name, left, top, width, height);
    b.setCaption(caption);
    b.setHint(hint);
    b.setSkin(1);
    return b;
}

// The arrow drawn on a page's paging strip: a light triangle on the strip's colour.
ui::PictureRef arrowGlyph(bool up) {
    constexpr int w = 21, h = 12;
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(w * h * 3), 0);
    for (int y = 0; y < h; ++y) {
        const int row = up ? y : h - 1 - y;
        for (int x = 0; x < w; ++x) {
            const bool inside = std::abs(x - w / 2) <= row * (w / 2) / (h - 1);
            auto* p = &rgb[static_cast<std::size_t>((y * w + x) * 3)];
            p[0] = inside ? 40 : 236;
            p[1] = inside ? 110 : 244;
            p[2] = inside ? 140 : 248;
        }
    }
    return std::make_shared<ui::Picture>(w, h, std::move(rgb));
}

ui::WebView& browser(ui::Control& parent, const std::string& name, int left, int top, int width,
                     int height) {
    return place<ui::WebView>(parent, name, left, top, width, height);
}

// Waits for the catalogue through the application's front end.
class ApplicationWaiter : public db::Waiter {
  public:
    explicit ApplicationWaiter(ui::Application& app) : app_(app) {}
    bool available() const override { return static_cast<bool>(app_.waitHook); }
    bool wait(const std::function<bool()>& finished) override { return app_.waitWhile(finished); }

  private:
    ui::Application& app_;
};

} // namespace

MainWindow::MainWindow(ui::Application& app, const Config& config, std::string exeDir,
                       Services& services)
    : ui::Form(app, "mainform"), config_(config), exeDir_(std::move(exeDir)) {
    setCaption(" Zorvex - Video Browser v2.1");
    setBounds(0, 0, kDesignWidth, kDesignHeight);
    setColour(ui::colours::black);
    setSkin(1);

    // The skinned frame: title bar and main menu bar across the top.
    auto& frame = place<ui::Panel>(*this, "suiForm1", 0, 0, kDesignWidth, 50);
    frame.setCaption(caption());
    frame.setSkin(1);

    buildVideoArea();
    buildInfoArea();
    buildBrowsingArea();
    buildRightColumn();
    buildHiddenPanel();
    buildMenus();
    buildTimers();

    compose(services);
    onShow = [this] { prepareShownWindow(); };
    onClose = [this] { closeProgram(); };
    startUp();
}

MainWindow::~MainWindow() {
    // The catalogue's connection goes before the waiter it refers to.
    server_->CloseCatalogue();
    bookmarks_->closeStore();
}

void MainWindow::compose(Services& services) {
    server_ = std::make_unique<catalogue::CatalogueServer>(config_.catalogue());
    waiter_ = std::make_unique<ApplicationWaiter>(app());
    server_->connection().setWaiter(waiter_.get());
    selection_ = std::make_unique<catalogue::Selection>();
    selection_->registerState(app().state());
    bookmarks_ = std::make_unique<bookmarks::BookmarkPage>(*this, *selection_);
    splash_ = std::make_unique<SplashDialog>(app(), config_, *services.echo, *services.shell);
    windowModes_ = std::make_unique<WindowModes>(*this);

    topics_ = std::make_unique<browse::Topics>(*this, *server_);
    const search::Exclusions exclusions{config_.get("search", "excluded_player_url"),
                                        config_.get("search", "excluded_host")};
    pages_ = std::make_unique<browse::FeaturePages>(*this, *server_, *topics_, exclusions);
    sideTabs_ = std::make_unique<browse::SideTabs>(*this, *server_,
                                                   [this] { return online_->onlineMode(); });
    sideTabs_->onBookmarksChosen = [this] { bookmarks_->LoadBookmarkPage(); };
    categories_ = std::make_unique<browse::Categories>(*this, *server_, *pages_);
    slotBehaviour_ = std::make_unique<browse::SlotBehaviour>(*this, *selection_);
    slotBehaviour_->readSlotsFrom(catalogue::PageKind::pkFeature, pages_->featureSlots());
    slotBehaviour_->readSlotsFrom(catalogue::PageKind::pkSpecial, pages_->specialSlots());
    slotBehaviour_->readSlotsFrom(catalogue::PageKind::pkWorld, sideTabs_->worldSlots());
    slotBehaviour_->readSlotsFrom(catalogue::PageKind::pkNews, sideTabs_->newsSlots());
    slotBehaviour_->readSlotsFrom(catalogue::PageKind::pkBookmarks, bookmarks_->bookmarkSlots());

    if (!services.movie)
        services.movie = std::make_unique<player::PlayerMovie>();
    player::WorkerServices worker;
    worker.resolver.ifilmMarker = config_.get("resolver", "ifilm_marker");
    worker.resolver.comedyMarker = config_.get("resolver", "comedy_marker");
    worker.resolver.globoMarker = config_.get("resolver", "globo_marker");
    worker.resolver.aolMarker = config_.get("resolver", "aol_marker");
    worker.resolver.comedySearchHost = config_.get("resolver", "comedy_search");
    worker.resolver.globoAuthHost = config_.get("resolver", "globo_auth");
    worker.resolver.testPageHost = config_.get("resolver", "test_page");
    worker.resolver.testTitle = config_.get("resolver", "test_title");
    worker.resolver.testAddress = config_.get("resolver", "test_address");
    worker.liveStream = config_.get("live", "stream");
    worker.ifilmKey = [this] { return online_ ? online_->ifilmKey() : std::string(); };
    player_ =
        std::make_unique<player::Player>(*this, *selection_, *services.movie, std::move(worker));
    // Clicking a thumbnail plays what pointing at it selected.
    slotBehaviour_->setPlayRequest([this] { player_->PlayRequest(); });
    // stringgridDblClick: a double-clicked grid row plays what selecting it chose.
    get<ui::StringGrid>("stringgrid").onDblClick = [this] { player_->PlayRequest(); };
    // `wait-idle` waits for the movie and the media worker to carry out what they
    // were asked.
    app().idleProbe = [this] { return player_->idle(); };
    // A change of the window mode re-fits the video the media worker shows, and
    // the worker's attach command hides the main window.
    windowModes_->onFitVideo = [this] { player_->worker().fit(); };
    player_->worker().hideMainWindow = [this] { hide(); };

    online_ = std::make_unique<OnlineMode>(
        config_,
        OnlineModeParts{*this, *server_, *topics_, *pages_, *sideTabs_, *categories_,
                        *slotBehaviour_, splash_->get<ui::ProgressBar>("startProgress"),
                        splash_->get<ui::Button>("suiImageButton1"), splash_->pingTimeText()});

    // The searches read the statement pieces that the online load keeps.
    textGrid_ = std::make_unique<search::TextGrid>(
        *this, *server_, *slotBehaviour_, *selection_, exclusions,
        [this]() -> const search::TextSearchPieces& { return online_->textSearchSqlParts(); });
    searchBox_ = std::make_unique<search::SearchBox>(
        *this, *pages_, exclusions,
        [this]() -> const search::ImageSearchPieces& { return online_->imageSearchSqlParts(); },
        config_.get("help", "example_domain"));
    // AddtoBookmarks1Click: the grid menu's "Add to Bookmarks" stores what
    // selecting a row (or the last play request) chose.
    get<ui::MenuItem>("AddtoBookmarks1").onClick = [this] { bookmarks_->addFromGridMenu(); };

    // The web tabs load their pages only while online; the web searches and the
    // visit-site commands open the browser and float the video.
    const web::Sites sites{config_.get("sites", "product"), config_.get("sites", "maker_search"),
                           config_.get("sites", "google"), config_.get("sites", "msn"),
                           config_.get("sites", "yahoo")};
    webPages_ = std::make_unique<web::WebPages>(
        *this, sites, [this] { return online_ && online_->onlineMode(); });
    webSearches_ =
        std::make_unique<web::WebSearches>(*this, *services.shell, *selection_, webPages_->sites());

    // mainformKeyPress: the window's keys run the handlers of the controls they stand for.
    onKeyPress = [this](std::string& key) { keyPressed(key); };
    windowKeys = {" ", "f", "\x1b", "\x0c"};
    // The keys are shown beside the hints and menu captions of what they stand for.
    const std::pair<const char*, const char*> keyHints[] = {
        {"play", "Space"},         {"pause", "Space"},         {"fullscreenbutton", "F"},
        {"suiImageButton26", "F"}, {"FullScreen1", "F"},       {"normalscreen", "Esc"},
        {"MainScreen1", "Esc"},    {"sqlsearchedit", "Ctrl+L"}};
    for (const auto& [name, key] : keyHints)
        find(name)->setKeyHint(key);
}

void MainWindow::keyPressed(std::string& key) {
    // Runs a control's click handler as a click would, when the user could click it.
    auto run = [this](const char* name) {
        ui::Control& c = *find(name);
        if (c.enabled() && c.onClick)
            c.onClick();
    };
    const WindowMode mode = windowModes_->mode();
    if (key == " ") {
        // Space pauses, or resumes what is paused.
        run(player_->state().playStatus == "Paused" ? "play" : "pause");
    } else if (key == "f" || key == "F") {
        // F: full screen, and back to the main screen.
        if (mode == WindowMode::FullScreen)
            run("normalscreen");
        else if (mode == WindowMode::Float)
            run("FullScreen1");
        else
            run("suiImageButton26");
    } else if (key == "\x1b") {
        // Esc: from the floating video or full screen back to the main screen.
        if (windowModes_->detached())
            run("normalscreen");
    } else if (key == "\x0c") {
        // Ctrl+L: the search box, ready for typing.
        auto& box = get<ui::Edit>("sqlsearchedit");
        if (box.onClick)
            box.onClick();
        box.setFocus();
    } else {
        return;
    }
    key.clear();
}

void MainWindow::startUp() {
    get<ui::Panel>("Panel2").bringToFront();
    // Without its movie file the window still comes up, with the error shown; the
    // movie embedded in the control then plays.
    try {
        player_->loadMovie(exeDir_ + "/fl8b.swf");
    } catch (const std::exception& e) {
        app().dialogs().showError(e.what());
    }
    get<ui::Animation>("Animate1").setFileName(exeDir_ + "/cool.avi");
    // The placeholder picture is installed with the program; without it the
    // window still comes up, with the error shown.
    try {
        get<ui::Image>("suiDBImage1").loadFromFile("noimage.jpg");
    } catch (const std::exception& e) {
        app().dialogs().showError(e.what());
    }

    get<ui::MenuItem>("AboutPeloraBrowser1").onClick = [this] { splash_->show(); };
    get<ui::MenuItem>("ZorvexOffline").onClick = [this] { online_->SetOnlineMode(false); };
    get<ui::MenuItem>("ZorvexOnline").onClick = [this] { online_->SetOnlineMode(true); };
    splash_->onChecksPassed = [this] { online_->SetOnlineMode(true); };
    splash_->onContinue = [this] { show(); };

    // A press on the window's own free area drags the window, as a caption does.
    onMouseDown = [this](ui::MouseButton button, int, int) {
        if (button == ui::MouseButton::Left)
            startSystemMove();
    };

    auto& repaint = get<ui::Timer>("Timer1");
    repaint.onTimer = [this, &repaint] {
        // Nudging the window makes the freshly laid-out window repaint everywhere.
        setLeft(left() + 1);
        setLeft(left() - 1);
        repaint.setEnabled(false);
    };

    // The splash dialog is the principal window: the program runs while it exists.
    app().setPrincipal(splash_.get());
    splash_->show();
}

void MainWindow::prepareShownWindow() {
    auto& search = get<ui::Edit>("sqlsearchedit");
    search.setText("Enter Search Request");
    ui::Font f = search.font();
    f.colour = ui::colours::silver;
    f.height = 21;
    search.setFont(f);
    windowModes_->FitLayout();

    if (!splash_->workOnline())
        online_->SetOnlineMode(false);
    if (splash_->workOnline() && splash_->checksFailed())
        online_->SetOnlineMode(true);
    if (!player_->worker().mediaWorkerStarted())
        webPages_->showStartPage();
    get<ui::Timer>("Timer1").setEnabled(true);
}

void MainWindow::closeProgram() {
    // The bookmark store closes with the main window; its errors are ignored.
    bookmarks_->closeStore();
    hide();
    // Closing the splash dialog, the principal window, ends the program.
    splash_->close();
}

void MainWindow::buildVideoArea() {
    auto& area = place<ui::Panel>(*this, "Panel6", 10, 54, 363, 300);
    area.setColour(ui::colours::black);

    // The player area first, so the start page panel can sit in front of it.
    auto& player = place<ui::Panel>(area, "Panel4", 13, 5, 340, 245);
    player.setColour(ui::colours::black);
    // The media worker's player draws into this native window inside Panel4.
    place<ui::MediaSurface>(player, "workerVideo", 0, 0, 340, 245).hide();
    place<ui::MediaSurface>(player, "ShockwaveFlash1", 0, 0, 340, 245);

    auto& bar = place<ui::Panel>(area, "Panel5", 0, 250, 363, 50);
    bar.setColour({24, 24, 24});
    bar.hide();
    button(bar, "play", "", "Play", 4, 4, 26, 22);
    button(bar, "pause", "", "Pause", 32, 4, 26, 22);
    button(bar, "stop", "", "Stop", 60, 4, 26, 22);
    button(bar, "fullscreenbutton", "", "Fullscreen", 88, 4, 26, 22);
    button(bar, "normalscreen", "", "Main Screen", 88, 4, 26, 22).hide();
    auto& position = place<ui::TrackBar>(bar, "mpposibar", 118, 4, 168, 22);
    position.setRange(0, 100);
    position.setSkin(1);
    auto& volume = place<ui::TrackBar>(bar, "previewvolume", 290, 4, 68, 22);
    volume.setRange(0, 1000);
    volume.setPosition(500);
    volume.setEnabled(false);
    volume.setSkin(1);
    label(bar, "secleft", "", 4, 30, 56).setFontColour(kPanelText);
    label(bar, "minleft", "", 62, 30, 50).setFontColour(kPanelText);
    label(bar, "Label19", "", 116, 30, 170).setFontColour(kPanelText);
    place<ui::Animation>(bar, "Animate1", 290, 28, 24, 20);
    button(bar, "dragMove", "", "", 318, 28, 18, 20);
    button(bar, "dragLeft", "", "", 340, 28, 18, 20).hide();

    // The idle screen with the start page covers the player until something plays.
    auto& start = place<ui::Panel>(area, "Panel2", 0, 0, 363, 300);
    start.setColour(ui::colours::black);
    browser(start, "MozillaBrowser3", 0, 0, 363, 300);
}

void MainWindow::buildInfoArea() {
    auto& area = place<ui::Panel>(*this, "Panel7", 374, 54, 352, 300);
    area.setColour({16, 20, 28});
    auto& background = place<ui::Image>(area, "Image2", 0, 0, 352, 300);
    background.setStretch(true);

    auto infoLabel = [&](const std::string& name, const std::string& caption, int top,
                         bool bold = false) {
        auto& l = label(area, name, caption, 10, top, 250, 16);
        ui::Font f = l.font();
        f.colour = kPanelText;
        f.bold = bold;
        l.setFont(f);
        return std::ref(l);
    };
    // What plays now.
    infoLabel("titlestatus", "Playing", 8, true);
    infoLabel("nowtitledis", "", 26);
    infoLabel("nowdescdis1", "", 42);
    infoLabel("nowdescdis2", "", 58);
    auto& visit = infoLabel("visitsite", "", 74).get();
    ui::Font vf = visit.font();
    vf.underline = true;
    vf.colour = {120, 180, 255};
    visit.setFont(vf);
    visit.setCursor(ui::Cursor::HandPoint);
    place<ui::Image>(area, "playImage", 262, 8, 80, 62).setStretch(true);

    // What the pointer is over.
    infoLabel("titledis", "", 98, true);
    infoLabel("descdis1", "", 116);
    infoLabel("descdis2", "", 132);
    infoLabel("descdis3", "", 148);
    infoLabel("descdis4", "", 164);
    auto& info = place<ui::Image>(area, "infoImage", 262, 98, 80, 62);
    info.setStretch(true);
    info.hide();

    // The search box.
    auto& search = place<ui::Edit>(area, "sqlsearchedit", 10, 188, 238, 28);
    search.setText("Enter Search Request");
    ui::Font sf = search.font();
    sf.name = "Arial";
    sf.colour = ui::colours::silver;
    sf.height = 21;
    search.setFont(sf);
    search.setSkin(1);
    button(area, "suiImageButton3", "Image", "Search image Library", 252, 188, 44, 28);
    button(area, "textSearch", "Text", "Search text Library", 298, 188, 44, 28);
    auto& popular = place<ui::RadioButton>(area, "mostpopularchecked", 10, 220, 110, 18);
    popular.setCaption("Most Popular");
    popular.setFontColour(kPanelText);
    popular.setSkin(1);
    auto& recent = place<ui::RadioButton>(area, "mostrecentchecked", 124, 220, 110, 18);
    recent.setCaption("Most Recent");
    recent.setFontColour(kPanelText);
    recent.setSkin(1);
    recent.setChecked(true);
    auto& mode = label(area, "OnlineModeCaption", "Offline", 262, 221, 80);
    ui::Font mf = mode.font();
    mf.bold = true;
    mf.colour = {255, 200, 60};
    mode.setFont(mf);

    // The action buttons; the leading blanks leave room for their icons.
    button(area, "floatvideobutton", "        Float Mode", "Float video around desktop", 10, 244,
           108, 24);
    button(area, "suiImageButton26", "       Fullscreen", "Watch video in fullscreen", 122, 244,
           108, 24);
    auto& bookmark = button(area, "playAddToBookmark", "      Bookmark", "Add video to bookmark",
                            234, 244, 108, 24);
    bookmark.setFontColour(kGrey);
    bookmark.setEnabled(false);
    button(area, "suiImageButton27", "     Favorites", "View Favorites", 10, 270, 108, 24)
        .setFontColour(kGrey);
    button(area, "suiButton5", "        Web News", "Search Outside Zorvex", 122, 270, 108, 24)
        .setFontColour(kGrey);
    button(area, "suiButton8", "     Video Topics", "Show the video topics", 234, 270, 108, 24);
}

void MainWindow::buildThumbnailPage(ui::Control& sheet, const std::string& pic,
                                    const NameOf& captionName, const NameOf& memoName,
                                    const std::string& topicButton, int picWidth,
                                    const std::string& upperStrip, const std::string& lowerStrip) {
    button(sheet, upperStrip, "", "Next Page", 0, 0, 45, 170).setGlyph(arrowGlyph(true));
    button(sheet, lowerStrip, "", "Previous Page", 0, 172, 45, 170).setGlyph(arrowGlyph(false));
    // Four columns by two rows; each thumbnail has its caption panel above it.
    for (int n = 1; n <= 8; ++n) {
        const int col = (n - 1) % 4;
        const int row = (n - 1) / 4;
        const int left = 52 + col * (picWidth + 5);
        const int top = 6 + row * 138;
        auto& image =
            place<ui::Image>(sheet, pic + std::to_string(n), left, top + 22, picWidth, 110);
        image.setStretch(true);
        image.setCursor(ui::Cursor::HandPoint);
        auto& panel = place<ui::CaptionPanel>(sheet, captionName(n), left, top, picWidth, 110);
        panel.setSkin(2);
        auto& text = place<ui::Memo>(panel, memoName(n), 0, 20, picWidth, 90);
        text.setSkin(1);
        panel.push();
        panel.hide();
    }
    // Twelve topic buttons in two rows under the thumbnails.
    for (int n = 1; n <= 12; ++n) {
        const int col = (n - 1) % 6;
        const int row = (n - 1) / 6;
        button(sheet, topicButton + std::to_string(n), topicButton + std::to_string(n), "",
               52 + col * 110, 284 + row * 26, 106, 24);
    }
}

void MainWindow::buildBrowsingArea() {
    auto& area = place<ui::Panel>(*this, "Panel8", 4, 354, 720, 392);
    area.setColour(ui::colours::black);
    auto& pages = place<ui::PageControl>(area, "suiPageControl1", 0, 0, 720, 392);
    pages.setSkin(1);

    auto& all = pages.addPage("suiTabSheet1", "All Videos");
    button(all, "backtext", "", "Previous Page", 5, 2, 100, 10);
    button(all, "nexttext", "", "Next Page", 110, 2, 100, 10);
    auto& grid = place<ui::StringGrid>(all, "stringgrid", 0, 16, 716, 346);
    grid.setSkin(2);
    auto& dbImage = place<ui::Image>(all, "suiDBImage1", 596, 18, 116, 88);
    dbImage.setStretch(true);
    dbImage.hide();
    button(all, "lookforimage", "lookforimage", "", 0, 0, 80, 20).hide();

    auto& web = pages.addPage("suiTabSheet4", "My Web Browser");
    auto& nav = place<ui::Panel>(web, "navpanel", 0, 0, 716, 30);
    nav.setSkin(1);
    auto& address = place<ui::Edit>(nav, "webnavbox", 4, 4, 292, 22);
    address.setText("Enter www Web Location");
    address.setSkin(1);
    button(nav, "suiImageButton22", "Go", "Go Navigate", 300, 4, 40, 22);
    button(nav, "suiImageButton19", "Home", "Home Page", 344, 4, 50, 22);
    button(nav, "suiImageButton20", "Back", "Go Back", 398, 4, 50, 22);
    button(nav, "suiImageButton21", "Forward", "Go Forward", 452, 4, 60, 22);
    button(nav, "suiImageButton23", "Refresh", "Refresh", 516, 4, 60, 22);
    button(nav, "suiButton22", "Show Video Libary", "", 580, 4, 130, 22);
    browser(web, "MozillaBrowser1", 0, 30, 716, 332);

    auto& feature = pages.addPage("suiTabSheet8", "Newest Videos");
    buildThumbnailPage(
        feature, "featurepic", [](int n) { return "featurepic" + std::to_string(n) + "caption"; },
        [](int n) { return "featurepic" + std::to_string(n) + "memo"; }, "querybutton", 161,
        "suiImageButton7", "suiImageButton6");
    auto& results = label(feature, "resultsLabel", "", 560, 338, 150);
    results.setFontColour(kPanelText);
    results.hide();
    auto& none = label(feature, "NoResults", "", 200, 120, 320, 24);
    ui::Font nf = none.font();
    nf.colour = {255, 200, 60};
    nf.height = 16;
    nf.bold = true;
    none.setFont(nf);
    none.hide();

    auto& special = pages.addPage("suiTabSheet9", "Special Interest");
    buildThumbnailPage(
        special, "specialpic", [](int n) { return "specialcaption" + std::to_string(n); },
        [](int n) { return "specialpicmemo" + std::to_string(n); }, "Specialbutton", 160,
        "suiImageButton5", "suiImageButton4");

    auto& news = pages.addPage("suiTabSheet2", "Latest Web News");
    auto& bar = place<ui::Panel>(news, "Panel1", 0, 0, 716, 30);
    bar.setSkin(1);
    place<ui::Edit>(bar, "newsbarurl", 4, 4, 380, 22).setSkin(1);
    button(bar, "suiImageButton18", "Go", "Navigate to Site", 388, 4, 40, 22);
    button(bar, "suiImageButton15", "Home", "Home", 432, 4, 50, 22);
    button(bar, "suiImageButton16", "Back", "Go Back", 486, 4, 50, 22);
    button(bar, "suiImageButton17", "Forward", "Go Forward", 540, 4, 60, 22);
    button(bar, "suiImageButton24", "Refresh", "Refresh", 604, 4, 56, 22);
    browser(news, "MozillaBrowser4", 0, 30, 716, 332);

    auto& guide = pages.addPage("suiTabSheet3", "User Guide");
    browser(guide, "MozillaBrowser5", 0, 0, 716, 362);
    auto& support = pages.addPage("suiTabSheet10", "Zorvex Support");
    browser(support, "MozillaBrowser6", 0, 0, 716, 362);

    pages.setActiveIndex(2);
}

void MainWindow::buildSideTab(ui::Control& sheet, const std::string& pic,
                              const std::string& leftStrip, const std::string& rightStrip) {
    button(sheet, leftStrip, "", "Previous Page", 5, 0, 97, 10).setSkin(2);
    button(sheet, rightStrip, "", "Next Page", 110, 0, 97, 10).setSkin(2);
    // Two columns by eight rows, numbered row by row.
    for (int n = 1; n <= 16; ++n) {
        const int col = (n - 1) % 2;
        const int row = (n - 1) / 2;
        auto& image =
            place<ui::Image>(sheet, pic + std::to_string(n), 12 + col * 105, 16 + row * 80, 97, 76);
        image.setStretch(true);
        image.setSkin(2);
        image.setHint("Click to Watch");
        image.setCursor(ui::Cursor::HandPoint);
        image.hide();
    }
}

void MainWindow::buildRightColumn() {
    auto& column = place<ui::Panel>(*this, "Panel9", 724, 50, 235, 692);
    column.setColour(ui::colours::black);

    auto& categories = place<ui::Panel>(column, "suiPanel1", 0, 4, 210, 688);
    categories.setCaption("CATEGORIES");
    categories.setSkin(2);
    auto& hint = label(categories, "CatHintLabel", "Double Click to Search", 8, 24, 190);
    hint.setFontColour(kGrey);
    auto& tree = place<ui::TreeView>(categories, "CatList", 4, 44, 202, 640);
    ui::Font tf = tree.font();
    tf.name = "Arial";
    tf.bold = true;
    tree.setFont(tf);
    tree.setHint("Double Click to Search");
    tree.setSkin(2);

    // The side bar lies over the category panel, docked at the right edge; it
    // shows a strip with its caption until it slides out.
    auto& side = place<ui::SideChannel>(column, "videosidebarslide", 0, 4, 235, 688);
    side.setCaption("Video Topics");
    side.setSkin(2);
    auto& pages = place<ui::PageControl>(side, "sidepage", 0, 0, 235, 688);
    pages.setSkin(2);
    buildSideTab(pages.addPage("suiTabSheet6", "World"), "videopic", "suiImageButton10",
                 "suiImageButton8");
    auto& news = pages.addPage("suiTabSheet5", "Aus News");
    buildSideTab(news, "newspic", "suiImageButton12", "suiImageButton11");
    button(news, "Button9", "Next Page", "", 0, 0, 75, 25).hide();
    button(news, "Button11", "Previous Page", "", 0, 0, 75, 25).hide();
    auto& bookmarks = pages.addPage("suiTabSheet7", "Bookmarks");
    buildSideTab(bookmarks, "musicpic", "suiImageButton13", "suiImageButton14");
    button(bookmarks, "Button8", "Next Page", "", 0, 0, 75, 25).hide();
    button(bookmarks, "Button12", "Previous Page", "", 0, 0, 75, 25).hide();
    auto& info = place<ui::CaptionPanel>(pages, "infoPanel", 0, 0, 97, 20);
    info.setSkin(2);
    info.hide();
}

void MainWindow::buildHiddenPanel() {
    // Status labels and buttons that only the code clicks; never shown.
    auto& hidden = place<ui::Panel>(*this, "Panel10", 0, 0, 400, 120);
    hidden.hide();
    label(hidden, "Label1", "", 4, 4, 200);
    label(hidden, "Label2", "Status", 4, 22, 200);
    button(hidden, "sqlsearchbutton", "Search Videos", "", 4, 40, 100, 25);
    place<ui::Memo>(hidden, "sqlvideomemo", 110, 40, 200, 60);
    // Buttons and memos the playback, search and web code click or write.
    button(hidden, "playmediathread", "Create Thread", "", 4, 70, 100, 25);
    button(hidden, "button5", "Attach", "", 110, 70, 60, 25);
    button(hidden, "killmp", "Close Player", "", 4, 118, 100, 20);
    button(hidden, "Button13", "Test Image", "", 174, 70, 60, 25);
    button(hidden, "suiButton5b", "Web News", "", 238, 70, 60, 25);
    button(hidden, "suiImageButton2", "", "Search Outside Zorvex", 302, 70, 30, 25);
    button(hidden, "qzrsearch", "", "Search Outside Zorvex", 336, 70, 30, 25);
    button(hidden, "suiButton6", "Total Vids", "", 4, 96, 100, 20);
    button(hidden, "playlocalvideos", "Play Local Videos", "", 110, 96, 100, 20);
    place<ui::Memo>(hidden, "videolocationmemo", 320, 4, 76, 30);
    place<ui::Memo>(hidden, "Memo1", 320, 36, 76, 30);
    label(hidden, "Label16", "", 210, 4, 100);
    label(hidden, "Label9", "Total Online Videos = ", 210, 22, 100);
    // The route of the playback: "F" the player movie, "W" the media worker.
    label(hidden, "Label20", "", 210, 40, 20);
}

void MainWindow::buildMenus() {
    auto& main = add<ui::Menu>("suiMainMenu1", ui::Menu::Style::Main);
    main.setSkin(1);
    auto& file = main.addItem("File1", "File");
    file.addItem("AboutPeloraBrowser1", "About Zorvex VideoBrowser");
    file.addItem("ZorvexOffline", "Zorvex: Offline");
    file.addItem("ZorvexOnline", "Zorvex: Online");
    auto& live = main.addItem("LiveTV1", "Live TV");
    live.addItem("elstraTV1", "Telstra TV");
    live.addItem("estLive1", "Test Live");
    auto& local = main.addItem("LocalMedia1", "Local Media");
    local.addItem("OpenLocalMedia1", "Open Local Media");
    // The skin and tool menus exist but are never made visible.
    auto& skins = main.addItem("Skins1", "Skins");
    skins.addItem("WindowsXP1", "Windows XP");
    skins.addItem("MacOS1", "MacOS");
    skins.addItem("DeepBlue1", "Deep Blue");
    skins.addItem("Protein1", "Protein");
    skins.addItem("LoadFromTheme1", "Load From Theme");
    skins.hide();
    auto& tools = main.addItem("Tools1", "Tools");
    tools.addItem("RefreshRecordCount1", "Refresh Record Count").hide();
    tools.addItem("ShowTotalVideos1", "Show Total Videos").hide();
    tools.hide();

    auto popup = [&](const std::string& name) -> ui::Menu& {
        auto& m = add<ui::Menu>(name, ui::Menu::Style::Popup);
        m.setSkin(1);
        return m;
    };
    auto& video = popup("videopopup");
    video.addItem("PlayVideo1", "Play Video ");
    video.addItem("ShowVideoImage1", "Show Video Image");
    video.addItem("VisitSite1", "Visit Site: ");
    video.addItem("CloseVideo1", "Close Video");
    video.addItem("NextPage1", "Next Page").hide();
    video.addItem("PrevoiusPage1", "Prevoius Page").hide();
    video.addItem("AddtoBookmarks1", "Add to Bookmarks");

    auto& thumbs = popup("ImageRM");
    thumbs.addItem("Play2", "Play");
    thumbs.addItem("AddtoFavourites1", "Add to Bookmarks");
    thumbs.addItem("DeleteBookmark1", "Delete Bookmark").hide();
    thumbs.addItem("DeleteAllBookmarks1", "Delete All Bookmarks").hide();

    auto& kinds = popup("searchtypepopup");
    kinds.addItem("NewSearch1", "Visual Search");
    kinds.addItem("estImageLibarybothmethod1", "Search Image Library").hide();
    kinds.addItem("SearchImageLibrary1", "Most Popular  By Image Library").hide();
    kinds.addItem("MostRecentByImageLibary1", "Most Recent By Image Libary").hide();
    kinds.addItem("extMethodBoth1", "Text Search");
    kinds.addItem("SearchPopular1", "Search Popular By Text Libary").hide();
    kinds.addItem("SearchLatest1", "Search Latest By Text Libary").hide();
    kinds.addItem("SearchPopularPodcasts1", "Search Popular Podcasts").hide();
    kinds.addItem("SaveThisVideo1", "Save This Video").hide();

    auto& web = popup("suiPopupMenu1");
    web.addItem("SearchLiveNews1", "Search Trevalo News");
    web.addItem("SearchTrevaloPodCasts1", "Search Trevalo PodCasts");
    web.addItem("SearchGoogle1", "Search Google");
    web.addItem("SearchTrevaloImages1", "Search MSN");
    web.addItem("SearchYahoo1", "Search Yahoo");

    auto& modes = popup("PopupMenu2");
    for (int i = 1; i <= 4; ++i)
        modes.addItem("PopupMenu2Item" + std::to_string(i), "-").hide();
    modes.addItem("FullScreen1", "Full Screen");
    modes.addItem("NormalScreen1", "Float Screen");
    modes.addItem("MainScreen1", "Main Screen");

    auto& own = popup("videoquerypopup");
    own.addItem("RefreshList1", "Refresh List");
    setPopupMenu(&own);

    for (const char* sheet : {"suiTabSheet8", "suiTabSheet9", "suiTabSheet4", "suiTabSheet2"})
        get<ui::TabSheet>(sheet).setPopupMenu(&kinds);
    get<ui::PageControl>("suiPageControl1").setPopupMenu(&video);
    for (const char* family : {"featurepic", "specialpic"})
        for (int n = 1; n <= 8; ++n)
            get<ui::Image>(family + std::to_string(n)).setPopupMenu(&thumbs);
    for (const char* family : {"videopic", "newspic", "musicpic"})
        for (int n = 1; n <= 16; ++n)
            get<ui::Image>(family + std::to_string(n)).setPopupMenu(&thumbs);
}

void MainWindow::buildTimers() {
    add<ui::Timer>("Timer1", 500, false);
    add<ui::Timer>("Timer3", 10, false);
    add<ui::Timer>("Timer4", 100, true);
    add<ui::Timer>("threadtimer", 1000, false);
}

} // namespace app
