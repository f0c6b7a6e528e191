// The web pages and the web searches through the control model: the addresses
// they open, the start page at every show, the two navigation bars, the new-window
// requests, the web search menu and the visit-site commands with the browser they
// start and the floating video that follows.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/Services.h"
#include "catalogue/Selection.h"
#include "platform/DesktopShell.h"
#include "support/ProgramTest.h"
#include "support/TempDir.h"
#include "ui/Application.h"
#include "ui/Menu.h"
#include "ui/PageControl.h"
#include "ui/Timer.h"
#include "ui/WebView.h"
#include "ui/Widgets.h"
#include "web/WebAddresses.h"
#include "web/WebPages.h"
#include "web/WebSearches.h"

namespace {

const web::Sites sites{"product.test:8102", "maker.test", "google.test", "msn.test", "yahoo.test"};

TEST(WebAddresses, PagesUseThePlainSchemeTheHostAndTheFixedPath) {
    EXPECT_EQ(web::startPage(sites), "http://product.test:8102/TV/zorvex.php");
    EXPECT_EQ(web::productRoot(sites), "http://product.test:8102/");
    EXPECT_EQ(web::newsPage(sites), "http://maker.test/vp/vp.php");
    EXPECT_EQ(web::userGuidePage(sites), "http://product.test:8102/player/manual.php");
    EXPECT_EQ(web::supportPage(sites), "http://product.test:8102/player/support.php");
}

TEST(WebAddresses, EachSearchPutsTheTextIntoItsQuery) {
    using web::WebSearch;
    EXPECT_EQ(web::searchAddress(WebSearch::TrevaloNews, sites, "cats"),
              "http://maker.test/qzr/to.php?to=n&q=cats");
    EXPECT_EQ(web::searchAddress(WebSearch::TrevaloPodcasts, sites, "cats"),
              "http://maker.test/qzr/to.php?to=p&q=cats");
    EXPECT_EQ(web::searchAddress(WebSearch::Google, sites, "cats"),
              "http://google.test/search?hl=en&q=cats&meta=");
    EXPECT_EQ(web::searchAddress(WebSearch::Msn, sites, "cats"),
              "http://msn.test/results.aspx?q=cats&geovar=56&FORM=REDIR");
    EXPECT_EQ(web::searchAddress(WebSearch::Yahoo, sites, "cats"),
              "http://yahoo.test/search?p=cats&fr=FP-tab-web-t&toggle=1&cop=&ei=UTF-8");
}

TEST(WebAddresses, SearchTextIsPercentEncoded) {
    using web::WebSearch;
    // Blanks, '&' and '=' would end the value, '#' the address; quotes and
    // multi-byte characters go as their UTF-8 bytes.
    EXPECT_EQ(web::searchAddress(WebSearch::Google, sites, "cats & dogs=1 #2"),
              "http://google.test/search?hl=en&q=cats%20%26%20dogs%3D1%20%232&meta=");
    EXPECT_EQ(web::searchAddress(WebSearch::TrevaloNews, sites, "\"say\" 'it'"),
              "http://maker.test/qzr/to.php?to=n&q=%22say%22%20%27it%27");
    EXPECT_EQ(web::searchAddress(WebSearch::Yahoo, sites, "café 東京"),
              "http://yahoo.test/search?p=caf%C3%A9%20%E6%9D%B1%E4%BA%AC"
              "&fr=FP-tab-web-t&toggle=1&cop=&ei=UTF-8");
    EXPECT_EQ(web::searchAddress(WebSearch::Msn, sites, ""),
              "http://msn.test/results.aspx?q=&geovar=56&FORM=REDIR");
}

TEST(WebAddresses, ABareSiteGetsTheWebScheme) {
    EXPECT_EQ(web::siteAddress("news.example.com"), "http://news.example.com");
    EXPECT_EQ(web::siteAddress("news.example.com/watch/1?a=b"),
              "http://news.example.com/watch/1?a=b");
    EXPECT_EQ(web::siteAddress("http://news.example.com/"), "http://news.example.com/");
    EXPECT_EQ(web::siteAddress("https://news.example.com/"), "https://news.example.com/");
    // A "://" further in is no scheme.
    EXPECT_EQ(web::siteAddress("host/x?u=http://a"), "http://host/x?u=http://a");
    EXPECT_EQ(web::siteAddress(""), "");
}

class WebPages : public ::testing::Test {
  protected:
    WebPages() {
        app::Services services;
        services.echo = std::make_unique<testsupport::FakeEcho>();
        auto fake = std::make_unique<testsupport::FakeShell>();
        shell = fake.get();
        services.shell = std::move(fake);
        const std::string ini = "[sites]\nproduct = product.test:8102\nmaker_search = maker.test\n"
                                "google = google.test\nmsn = msn.test\nyahoo = yahoo.test\n";
        program = std::make_unique<app::Program>(app, app::Config::parse(ini, "web.ini"), ".",
                                                 std::move(services));
        form = &program->mainform();
    }
    ui::Control& c(const std::string& name) { return *form->find(name); }
    ui::WebView& view(const std::string& name) { return form->get<ui::WebView>(name); }
    /// A click as its handler runs it.
    void click(const std::string& name) {
        app.dispatch([&] { c(name).onClick(); });
    }
    void key(const std::string& name, std::string k) {
        app.dispatch([&] { c(name).onKeyPress(k); });
    }
    void event(const std::string& name, ui::Event e, ui::EventArgs args = {}) {
        app.dispatch([&] { c(name).deliver(e, args); });
    }
    std::string mode() { return app.state().get("windowMode").get<std::string>(); }
    std::vector<ui::DialogRecord> messages(ui::DialogRecord::Type type) {
        std::vector<ui::DialogRecord> out;
        for (const auto& r : app.dialogs().log())
            if (r.type == type)
                out.push_back(r);
        return out;
    }

    ui::Application app{ui::EventLoop::ClockKind::Virtual};
    std::unique_ptr<app::Program> program;
    app::MainWindow* form = nullptr;
    testsupport::FakeShell* shell = nullptr;
};

TEST_F(WebPages, EveryShowRequestsTheStartPage) {
    EXPECT_EQ(view("MozillaBrowser3").loads(), 0);
    form->show();
    EXPECT_EQ(view("MozillaBrowser3").url(), "http://product.test:8102/TV/zorvex.php");
    EXPECT_EQ(view("MozillaBrowser3").loads(), 1);
    form->hide();
    form->show();
    EXPECT_EQ(view("MozillaBrowser3").loads(), 2);
}

TEST_F(WebPages, TheTabsLoadNothingOffline) {
    form->show();
    for (int index : {1, 4, 5, 6}) {
        ui::EventArgs args;
        args.index = index;
        event("suiPageControl1", ui::Event::TabActive, args);
        EXPECT_FALSE(app.state().get("webBrowserVisited").get<bool>());
    }
    for (const char* name :
         {"MozillaBrowser1", "MozillaBrowser4", "MozillaBrowser5", "MozillaBrowser6"})
        EXPECT_EQ(view(name).loads(), 0) << name;
    for (const char* flag :
         {"webBrowserVisited", "webNewsVisited", "userGuideVisited", "supportVisited"})
        EXPECT_FALSE(app.state().get(flag).get<bool>()) << flag;
}

TEST_F(WebPages, TheBrowserTabsNavigationBar) {
    auto& web = view("MozillaBrowser1");
    auto& box = form->get<ui::Edit>("webnavbox");
    EXPECT_EQ(box.text(), "Enter www Web Location");

    box.setText("127.0.0.1:8102/player/manual.php");
    key("webnavbox", "a");
    EXPECT_EQ(web.loads(), 0);
    key("webnavbox", "\r");
    EXPECT_EQ(web.url(), "127.0.0.1:8102/player/manual.php");
    box.setText("http://127.0.0.1:8102/player/support.php");
    click("suiImageButton22");
    EXPECT_EQ(web.url(), "http://127.0.0.1:8102/player/support.php");
    click("suiImageButton19");
    EXPECT_EQ(web.url(), "http://maker.test/vp/vp.php");

    click("suiImageButton20");
    EXPECT_EQ(web.url(), "http://127.0.0.1:8102/player/support.php");
    click("suiImageButton20");
    EXPECT_EQ(web.url(), "127.0.0.1:8102/player/manual.php");
    click("suiImageButton21");
    EXPECT_EQ(web.url(), "http://127.0.0.1:8102/player/support.php");
    const int loads = web.loads();
    click("suiImageButton23");
    EXPECT_EQ(web.loads(), loads + 1);
    EXPECT_EQ(web.url(), "http://127.0.0.1:8102/player/support.php");

    // "Show Video Libary" goes to "All Videos".
    auto& pages = form->get<ui::PageControl>("suiPageControl1");
    pages.setActiveIndex(1);
    click("suiButton22");
    EXPECT_EQ(pages.activeIndex(), 0);
}

TEST_F(WebPages, TheNewsTabsUrlBar) {
    auto& news = view("MozillaBrowser4");
    form->get<ui::Edit>("newsbarurl").setText("http://127.0.0.1:8102/");
    key("newsbarurl", "\r");
    EXPECT_EQ(news.url(), "http://127.0.0.1:8102/");
    form->get<ui::Edit>("newsbarurl").setText("http://127.0.0.1:8102/help/connection.html");
    click("suiImageButton18");
    EXPECT_EQ(news.url(), "http://127.0.0.1:8102/help/connection.html");
    click("suiImageButton15");
    EXPECT_EQ(news.url(), "http://maker.test/vp/vp.php");
    click("suiImageButton16");
    EXPECT_EQ(news.url(), "http://127.0.0.1:8102/help/connection.html");
    click("suiImageButton17");
    EXPECT_EQ(news.url(), "http://maker.test/vp/vp.php");
    const int loads = news.loads();
    click("suiImageButton24");
    EXPECT_EQ(news.loads(), loads + 1);
}

TEST_F(WebPages, ANewWindowOpensInPlaceAfterTheMessage) {
    auto& web = view("MozillaBrowser1");
    bool mayOpen = true;
    app.dispatch(
        [&] { mayOpen = web.requestNewWindow("http://127.0.0.1:8102/player/manual.php"); });
    // The view itself has taken the page; the component opens no window of its own.
    EXPECT_FALSE(mayOpen);
    EXPECT_EQ(web.url(), "http://127.0.0.1:8102/player/manual.php");
    const auto info = messages(ui::DialogRecord::Type::Information);
    ASSERT_EQ(info.size(), 1u);
    EXPECT_EQ(info[0].text, "New Window Called ");

    // A busy view leaves the request to the web component.
    web.reportBusy(true);
    app.dispatch([&] { mayOpen = web.requestNewWindow("http://127.0.0.1:8102/"); });
    EXPECT_TRUE(mayOpen);
    EXPECT_EQ(web.url(), "http://127.0.0.1:8102/player/manual.php");
    EXPECT_EQ(messages(ui::DialogRecord::Type::Information).size(), 1u);
}

TEST_F(WebPages, TheNewsViewOpensNewWindowsInPlaceWithoutAMessage) {
    auto& news = view("MozillaBrowser4");
    bool mayOpen = true;
    app.dispatch([&] { mayOpen = news.requestNewWindow("http://127.0.0.1:8102/"); });
    EXPECT_FALSE(mayOpen);
    EXPECT_EQ(news.url(), "http://127.0.0.1:8102/");
    EXPECT_TRUE(messages(ui::DialogRecord::Type::Information).empty());
    news.reportBusy(true);
    app.dispatch([&] { mayOpen = news.requestNewWindow("http://127.0.0.1:8102/x"); });
    EXPECT_TRUE(mayOpen);
    EXPECT_EQ(news.url(), "http://127.0.0.1:8102/");
}

TEST_F(WebPages, EachWebSearchOpensTheBrowserMaximisedAndFloatsTheVideo) {
    form->show();
    const std::pair<const char*, std::string> items[] = {
        {"SearchLiveNews1", "http://maker.test/qzr/to.php?to=n&q="},
        {"SearchTrevaloPodCasts1", "http://maker.test/qzr/to.php?to=p&q="},
        {"SearchGoogle1", "http://google.test/search?hl=en&q="},
        {"SearchTrevaloImages1", "http://msn.test/results.aspx?q="},
        {"SearchYahoo1", "http://yahoo.test/search?p="}};
    const std::string encoded = "rock%20%26%20roll%20%22live%22%20%E6%9D%B1%E4%BA%AC";
    for (const auto& [item, start] : items) {
        shell->opened.clear();
        shell->shows.clear();
        click("normalscreen");
        ASSERT_NE(mode(), "1");
        // As when no video plays: the float button is disabled, and the switch runs anyway.
        c("floatvideobutton").setEnabled(false);
        // Every show puts the placeholder back into the search box.
        form->get<ui::Edit>("sqlsearchedit").setText("rock & roll \"live\" 東京");
        click(item);
        ASSERT_EQ(shell->opened.size(), 1u) << item;
        EXPECT_EQ(shell->opened[0].substr(0, start.size() + encoded.size()), start + encoded)
            << item;
        EXPECT_EQ(shell->shows[0], platform::WindowShow::Maximised);
        EXPECT_EQ(mode(), "1") << item;
    }
}

TEST_F(WebPages, TheUntouchedSearchBoxSearchesForItsPlaceholder) {
    form->show();
    click("SearchGoogle1");
    ASSERT_EQ(shell->opened.size(), 1u);
    EXPECT_EQ(shell->opened[0], "http://google.test/search?hl=en&q=Enter%20Search%20Request&meta=");
}

TEST_F(WebPages, WithoutABrowserNothingOpensTheUserIsToldAndTheVideoStillFloats) {
    form->show();
    shell->found = false;
    const auto before = messages(ui::DialogRecord::Type::Error).size();
    bool opened = true;
    app.dispatch([&] { opened = form->webSearches().OpenInBrowser("http://x.test/", false); });
    EXPECT_FALSE(opened);
    auto errors = messages(ui::DialogRecord::Type::Error);
    ASSERT_EQ(errors.size(), before + 1);
    EXPECT_EQ(errors.back().text, "No web browser could be started to open http://x.test/. Set "
                                  "BROWSER to a browser command, or install xdg-open (package "
                                  "xdg-utils).");

    click("SearchYahoo1");
    EXPECT_EQ(messages(ui::DialogRecord::Type::Error).size(), before + 2);
    EXPECT_EQ(mode(), "1");
}

TEST_F(WebPages, TheWebNewsButtonOpensTheMenuJustRightOfThePointer) {
    form->show();
    form->setBounds(100, 50, form->width(), form->height());
    auto& menu = form->get<ui::Menu>("suiPopupMenu1");
    // Online, the button is enabled.
    c("suiButton5").setEnabled(true);
    ui::EventArgs press;
    press.x = 7;
    press.y = 9;
    event("suiButton5", ui::Event::MouseDown, press);
    ASSERT_EQ(menu.popupCount(), 1);
    const auto [x, y] = ui::screenPosition(c("suiButton5"), 7, 9);
    EXPECT_EQ(menu.popupX(), x + 15);
    EXPECT_EQ(menu.popupY(), y);
    // The hidden buttons carry the same handler.
    for (const char* name : {"suiButton5b", "suiImageButton2", "qzrsearch"}) {
        app.dispatch([&] { c(name).onMouseDown(ui::MouseButton::Right, 0, 0); });
        const auto [hx, hy] = ui::screenPosition(c(name), 0, 0);
        EXPECT_EQ(menu.popupX(), hx + 15) << name;
        EXPECT_EQ(menu.popupY(), hy) << name;
    }
    EXPECT_EQ(menu.popupCount(), 4);
}

TEST_F(WebPages, TheVisitSiteLabel) {
    form->show();
    auto& label = form->get<ui::Label>("visitsite");
    event("visitsite", ui::Event::MouseEnter);
    EXPECT_TRUE(label.font().bold);
    EXPECT_TRUE(label.font().underline);
    event("visitsite", ui::Event::MouseLeave);
    EXPECT_TRUE(label.font().bold);
    EXPECT_FALSE(label.font().underline);

    catalogue::Item playing;
    playing.siteUrl = "http://news.test/watch/100001";
    form->selection().setNowPlaying(playing);
    event("visitsite", ui::Event::Click);
    ASSERT_EQ(shell->opened.size(), 1u);
    EXPECT_EQ(shell->opened[0], "http://news.test/watch/100001");
    EXPECT_EQ(shell->shows[0], platform::WindowShow::Maximised);
    EXPECT_EQ(mode(), "1");
}

TEST_F(WebPages, VisitSiteOpensTheChosenSiteAttachesAndFloats) {
    form->show();
    form->selection().setVisitSiteTarget("news.test");
    auto& poll = form->get<ui::Timer>("threadtimer");
    poll.setEnabled(true);
    click("VisitSite1");
    ASSERT_EQ(shell->opened.size(), 1u);
    EXPECT_EQ(shell->opened[0], "http://news.test");
    EXPECT_EQ(shell->shows[0], platform::WindowShow::Maximised);
    // The attach command stops the status poll.
    EXPECT_FALSE(poll.enabled());
    EXPECT_EQ(mode(), "1");
}

// The program with the real desktop shell: the browser command it starts.
class WebSearchBrowser : public ::testing::Test {
  protected:
    void startProgram() {
        app::Services services;
        services.echo = std::make_unique<testsupport::FakeEcho>();
        services.shell = std::make_unique<platform::DesktopShell>();
        const std::string ini = "[sites]\ngoogle = google.test\n";
        program = std::make_unique<app::Program>(app, app::Config::parse(ini, "web.ini"), ".",
                                                 std::move(services));
        form = &program->mainform();
        form->show();
    }
    /// A stand-in browser that writes its arguments, one per line, to `record`.
    std::string writeBrowser(const std::string& record) {
        const std::string path = tmp.write(
            "browser", "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"" + record +
                           ".tmp\"\nmv \"" + record + ".tmp\" \"" + record + "\"\n");
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        return path;
    }
    std::vector<std::string> linesOf(const std::string& file) {
        // The browser runs detached; wait (bounded) for its record.
        for (int i = 0; i < 200 && !std::filesystem::exists(file); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        std::ifstream in(file);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    std::string mode() { return app.state().get("windowMode").get<std::string>(); }

    testsupport::TempDir tmp{"zorvex-web"};
    ui::Application app{ui::EventLoop::ClockKind::Virtual};
    std::unique_ptr<app::Program> program;
    app::MainWindow* form = nullptr;
};

TEST_F(WebSearchBrowser, TheSearchAddressReachesTheBrowserAsOneArgument) {
    const std::string record = tmp.file("argv");
    const std::string browser = writeBrowser(record);
    ::setenv("BROWSER", browser.c_str(), 1);
    startProgram();
    form->get<ui::Edit>("sqlsearchedit").setText("a b&c=\"d\" ; $(touch PWNED)");
    app.dispatch([&] { form->find("SearchGoogle1")->onClick(); });
    const auto lines = linesOf(record);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "http://google.test/search?hl=en&q=a%20b%26c%3D%22d%22%20%3B%20%24%28touch"
                        "%20PWNED%29&meta=");
    EXPECT_EQ(mode(), "1");
}

TEST_F(WebSearchBrowser, WithNoBrowserCommandAtAllTheUserIsTold) {
    ::unsetenv("BROWSER");
    // No xdg-open either: the search path holds nothing.
    ::setenv("PATH", tmp.path().c_str(), 1);
    startProgram();
    const auto before = app.dialogs().log().size();
    bool opened = true;
    app.dispatch([&] { opened = form->webSearches().OpenInBrowser("http://x.test/", true); });
    EXPECT_FALSE(opened);
    ASSERT_EQ(app.dialogs().log().size(), before + 1);
    EXPECT_EQ(app.dialogs().log().back().type, ui::DialogRecord::Type::Error);
    EXPECT_NE(app.dialogs().log().back().text.find("No web browser could be started"),
              std::string::npos);
    // A web search still floats the video.
    app.dispatch([&] { form->find("SearchGoogle1")->onClick(); });
    EXPECT_EQ(mode(), "1");
}

} // namespace
