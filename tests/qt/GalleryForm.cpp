#include "GalleryForm.h"

#include <algorithm>
#include <cmath>

namespace qttest {

namespace {

template <class T>
T& place(ui::Control& parent, const std::string& name, int left, int top, int width, int height) {
    T& c = parent.add<T>(name);
    c.setBounds(left, top, width, height);
    return c;
}

ui::Font withColour(ui::Font f, ui::Colour c, bool bold = false, int height = 0) {
    f.colour = c;
    f.bold = bold;
    if (height > 0)
        f.height = height;
    return f;
}

constexpr ui::Colour kLight{226, 232, 238};
constexpr ui::Colour kMuted{150, 160, 170};

} // namespace

ui::Picture duskPicture(int width, int height) {
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width * height * 3));
    const int horizon = height * 11 / 20;
    const double sunX = width * 0.62, sunY = horizon - height * 0.12, sunR = height * 0.14;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            double r, g, b;
            if (y < horizon) {
                const double t = static_cast<double>(y) / horizon; // 0 at the top
                r = 120 + 125 * t;
                g = 60 + 80 * t;
                b = 110 - 70 * t;
                const double d = std::hypot(x - sunX, y - sunY);
                if (d < sunR) {
                    r = 255;
                    g = 214;
                    b = 120;
                }
            } else {
                const double t = static_cast<double>(y - horizon) / (height - horizon);
                r = 30 - 20 * t;
                g = 70 + 10 * t;
                b = 150 - 40 * t;
                // The sun's glitter on the water.
                if (std::abs(x - sunX) < sunR * (1.0 - t) && (y / 3) % 2 == 0) {
                    r += 120;
                    g += 90;
                    b += 20;
                }
            }
            auto* px = &rgb[static_cast<std::size_t>((y * width + x) * 3)];
            px[0] = static_cast<std::uint8_t>(std::clamp(r, 0.0, 255.0));
            px[1] = static_cast<std::uint8_t>(std::clamp(g, 0.0, 255.0));
            px[2] = static_cast<std::uint8_t>(std::clamp(b, 0.0, 255.0));
        }
    const auto jpeg = ui::Picture::encodeJpeg(width, height, rgb, 90);
    return ui::Picture::fromJpeg(
        std::string_view(reinterpret_cast<const char*>(jpeg.data()), jpeg.size()), "dusk picture");
}

GalleryForm::GalleryForm(ui::Application& app)
    : ui::Form(app, "gallery"), header(place<ui::Panel>(*this, "header", 0, 0, 900, 40)),
      videoArea(place<ui::Panel>(*this, "videoArea", 10, 48, 330, 300)),
      surface(place<ui::MediaSurface>(videoArea, "surface", 10, 8, 310, 214)),
      play(place<ui::Button>(videoArea, "play", 10, 232, 60, 24)),
      stop(place<ui::Button>(videoArea, "stop", 74, 232, 60, 24)),
      position(place<ui::TrackBar>(videoArea, "position", 142, 233, 178, 22)),
      buffer(place<ui::ProgressBar>(videoArea, "buffer", 10, 268, 124, 10)),
      timeLabel(place<ui::Label>(videoArea, "timeLabel", 142, 264, 140, 18)),
      busy(place<ui::Animation>(videoArea, "busy", 296, 262, 22, 22)),
      infoArea(place<ui::Panel>(*this, "infoArea", 350, 48, 330, 300)),
      picture(place<ui::Image>(infoArea, "picture", 10, 10, 128, 96)),
      title(place<ui::Label>(infoArea, "title", 150, 10, 170, 18)),
      description(place<ui::Label>(infoArea, "description", 150, 32, 170, 74)),
      search(place<ui::Edit>(infoArea, "search", 10, 118, 226, 26)),
      go(place<ui::Button>(infoArea, "go", 242, 118, 78, 26)),
      popular(place<ui::RadioButton>(infoArea, "popular", 10, 152, 120, 20)),
      recent(place<ui::RadioButton>(infoArea, "recent", 136, 152, 120, 20)),
      log(place<ui::Memo>(infoArea, "log", 10, 180, 310, 110)),
      pages(place<ui::PageControl>(*this, "pages", 10, 356, 670, 236)),
      resultsSheet(pages.addPage("resultsSheet", "All Videos")),
      results(place<ui::StringGrid>(resultsSheet, "results", 0, 0, 668, 208)),
      webSheet(pages.addPage("webSheet", "My Web Browser")),
      browser(place<ui::WebView>(webSheet, "browser", 0, 0, 668, 208)),
      rightColumn(place<ui::Panel>(*this, "rightColumn", 690, 48, 200, 544)),
      categories(place<ui::Panel>(rightColumn, "categories", 0, 0, 174, 544)),
      tree(place<ui::TreeView>(categories, "tree", 4, 44, 166, 300)),
      nowPlaying(place<ui::CaptionPanel>(categories, "nowPlaying", 4, 352, 166, 120)),
      nowText(place<ui::Label>(nowPlaying, "nowText", 8, 26, 150, 88)),
      side(place<ui::SideChannel>(rightColumn, "side", 0, 0, 200, 544)),
      sidePages(place<ui::PageControl>(side, "sidePages", 0, 0, 200, 544)),
      mainMenu(add<ui::Menu>("mainMenu", ui::Menu::Style::Main)),
      aboutItem(mainMenu.addItem("fileMenu", "File").addItem("aboutItem", "About Zorvex")),
      fullScreenItem(mainMenu.addItem("viewMenu", "View").addItem("fullScreenItem", "Full Screen")),
      toolsItem(mainMenu.addItem("toolsItem", "Tools")),
      thumbMenu(add<ui::Menu>("thumbMenu", ui::Menu::Style::Popup)),
      playItem(thumbMenu.addItem("playItem", "Play")), tick(add<ui::Timer>("tick", 1000, false)) {
    setCaption(" Zorvex - Control Gallery");
    setBounds(40, 30, 900, 600);
    setColour(ui::colours::black);
    setSkin(1);

    header.setCaption(" Zorvex - Video Browser v2.1");
    header.setFont(withColour(header.font(), {23, 70, 82}, true, 14));
    header.setSkin(1);

    videoArea.setColour(ui::colours::black);
    play.setCaption("Play");
    play.setHint("Play the video");
    stop.setCaption("Stop");
    position.setRange(0, 100);
    position.setPosition(35);
    buffer.setPosition(60);
    timeLabel.setCaption("01:24 / 04:10");
    timeLabel.setFont(withColour(timeLabel.font(), kLight));
    busy.setFileName("cool.avi");
    busy.setActive(true);

    infoArea.setColour({16, 20, 28});
    picture.setStretch(true);
    picture.setPicture(duskPicture(128, 96));
    picture.setPopupMenu(&thumbMenu);
    picture.setCursor(ui::Cursor::HandPoint);
    title.setCaption("Harbour Lights at Dusk");
    title.setFont(withColour(title.font(), kLight, true, 13));
    description.setCaption("Fishing boats come home as the lights of the old harbour town "
                           "switch on one by one.");
    description.setWordWrap(true);
    description.setFont(withColour(description.font(), kMuted));
    search.setText("harbour");
    go.setCaption("Search");
    popular.setCaption("Most Popular");
    popular.setFontColour(kLight);
    recent.setCaption("Most Recent");
    recent.setFontColour(kLight);
    recent.setChecked(true);
    log.setLines({"Connected to the catalogue.", "Loaded 16 items for \"Newest Videos\".",
                  "Category list ready: 6 topics."});

    pages.setSkin(1);
    results.setSkin(2);
    results.setSize(4, 9);
    const char* head[] = {"Title", "Site", "Category", "Added"};
    const int widths[] = {300, 150, 120, 90};
    for (int c = 0; c < 4; ++c) {
        results.setCell(c, 0, head[c]);
        results.setColWidth(c, widths[c]);
    }
    const char* rows[][4] = {{"Harbour Lights at Dusk", "coastal.example", "Travel", "12 May"},
                             {"Morning Market", "citywalks.example", "Travel", "11 May"},
                             {"Storm over the Bay", "weatherwatch.example", "Science", "10 May"},
                             {"Night Ferry", "coastal.example", "Travel", "9 May"}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            results.setCell(c, r + 1, rows[r][c]);
    browser.navigate(
        "data:text/html,<body style='background:rgb(236,244,246);font-family:sans-serif'>"
        "<h3 style='color:rgb(30,110,128)'>Zorvex Video Browser</h3><p>Start page</p></body>");

    rightColumn.setColour(ui::colours::black);
    categories.setCaption("CATEGORIES");
    categories.setSkin(2);
    categories.setFont(withColour(categories.font(), {230, 236, 240}, true, 12));
    auto& hint = place<ui::Label>(categories, "treeHint", 8, 24, 160, 16);
    hint.setCaption("Double Click to Search");
    hint.setFontColour(kMuted);
    tree.setSkin(2);
    const int news = tree.addNode(-1, "News");
    tree.addNode(news, "World");
    tree.addNode(news, "Local");
    const int sport = tree.addNode(-1, "Sport");
    tree.addNode(sport, "Football");
    tree.addNode(sport, "Sailing");
    tree.addNode(-1, "Music");
    tree.addNode(-1, "Science");
    nowPlaying.setCaption("Now Playing");
    nowPlaying.setSkin(2);
    nowText.setCaption("Harbour Lights at Dusk\ncoastal.example");
    nowText.setWordWrap(true);
    nowText.setFontColour(kLight);

    side.setCaption("Video Topics");
    side.setSkin(2);
    sidePages.setSkin(2);
    sidePages.setTabsAtBottom(true);
    auto& world = sidePages.addPage("worldSheet", "World");
    for (int n = 0; n < 4; ++n) {
        auto& thumb = place<ui::Image>(world, "worldPic" + std::to_string(n + 1), 8 + (n % 2) * 94,
                                       12 + (n / 2) * 74, 88, 66);
        thumb.setStretch(true);
        thumb.setSkin(2);
        thumb.setPicture(duskPicture(88, 66));
    }
    sidePages.addPage("newsSheet", "Aus News");

    fullScreenItem.setChecked(true);
    toolsItem.hide();
    thumbMenu.setSkin(1);
    thumbMenu.addItem("bookmarkItem", "Add to Bookmarks");
    thumbMenu.addItem("thumbSeparator", "-");
    thumbMenu.addItem("deleteItem", "Delete Bookmark").hide();

    // Record what reaches the handlers.
    auto note = [this](std::string what) { events.push_back(std::move(what)); };
    play.onClick = [note] { note("play:Click"); };
    go.onClick = [note] { note("go:Click"); };
    search.onKeyPress = [note](std::string& key) { note("search:KeyPress:" + key); };
    search.onChange = [this, note] { note("search:Change:" + search.text()); };
    search.onExit = [note] { note("search:Exit"); };
    popular.onClick = [note] { note("popular:Click"); };
    position.onChange = [this, note] {
        note("position:Change:" + std::to_string(position.position()));
    };
    pages.onTabActive = [note](int index) { note("pages:TabActive:" + std::to_string(index)); };
    results.onSelectCell = [note](int col, int row, bool&) {
        note("results:SelectCell:" + std::to_string(col) + "," + std::to_string(row));
    };
    tree.onDblClick = [this, note] { note("tree:DblClick:" + std::to_string(tree.selected())); };
    picture.onMouseDown = [note](ui::MouseButton b, int x, int y) {
        note("picture:MouseDown:" + std::to_string(static_cast<int>(b)) + ":" + std::to_string(x) +
             "," + std::to_string(y));
    };
    picture.onClick = [note] { note("picture:Click"); };
    side.onPop = [note] { note("side:Pop"); };
    aboutItem.onClick = [note] { note("aboutItem:Click"); };
    playItem.onClick = [note] { note("playItem:Click"); };
    onClose = [note] { note("gallery:Close"); };
}

} // namespace qttest
