// The web tabs of the browsing area in the program online against the test
// catalogue: each loads its page at its first activation and keeps what the user
// reached afterwards, the news tab takes the page control's menu away, and the
// switch to offline mode loads the support tab.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "app/OnlineMode.h"
#include "support/ProgramTest.h"
#include "ui/Menu.h"
#include "ui/PageControl.h"
#include "ui/WebView.h"

namespace {

class WebTabs : public testsupport::ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        start("[sites]\nproduct = 127.0.0.1:8102\nmaker_search = maker.test:8102\n");
        // Online, as startOnline() goes, with these sites.
        runChecks();
        click("suiImageButton1");
    }
    void choose(int index) {
        ui::EventArgs args;
        args.index = index;
        event("suiPageControl1", ui::Event::TabActive, args);
    }
    ui::WebView& view(const std::string& name) {
        return dynamic_cast<ui::WebView&>(*app->findControl(name));
    }
    ui::Control& c(const std::string& name) { return *app->findControl(name); }
};

TEST_F(WebTabs, EachTabLoadsItsPageOnceAtItsFirstActivation) {
    EXPECT_TRUE(state<bool>("onlineMode"));
    EXPECT_EQ(view("MozillaBrowser3").url(), "http://127.0.0.1:8102/TV/zorvex.php");
    const std::pair<int, std::pair<const char*, const char*>> tabs[] = {
        {1, {"MozillaBrowser1", "http://127.0.0.1:8102/"}},
        {4, {"MozillaBrowser4", "http://maker.test:8102/vp/vp.php"}},
        {5, {"MozillaBrowser5", "http://127.0.0.1:8102/player/manual.php"}},
        {6, {"MozillaBrowser6", "http://127.0.0.1:8102/player/support.php"}}};
    const char* flags[] = {"webBrowserVisited", "webNewsVisited", "userGuideVisited",
                           "supportVisited"};
    for (std::size_t i = 0; i < 4; ++i) {
        const auto& [index, page] = tabs[i];
        EXPECT_FALSE(state<bool>(flags[i])) << flags[i];
        EXPECT_EQ(view(page.first).loads(), 0) << page.first;
        choose(index);
        EXPECT_TRUE(state<bool>(flags[i])) << flags[i];
        EXPECT_EQ(view(page.first).url(), page.second);
        EXPECT_EQ(view(page.first).loads(), 1) << page.first;
    }
    // The support view takes the keyboard focus with its first load.
    EXPECT_EQ(view("MozillaBrowser6").focusRequests(), 1);

    // The user browses inside the guide; coming back keeps that page.
    view("MozillaBrowser5").reportNavigated("http://127.0.0.1:8102/help/connection.html");
    choose(0);
    choose(5);
    EXPECT_EQ(view("MozillaBrowser5").url(), "http://127.0.0.1:8102/help/connection.html");
    EXPECT_EQ(view("MozillaBrowser5").loads(), 1);
    choose(1);
    choose(4);
    choose(6);
    for (const char* name : {"MozillaBrowser1", "MozillaBrowser4", "MozillaBrowser6"})
        EXPECT_EQ(view(name).loads(), 1) << name;
}

TEST_F(WebTabs, TheNewsTabTakesThePageControlsMenuAway) {
    auto& pages = dynamic_cast<ui::PageControl&>(c("suiPageControl1"));
    auto* video = dynamic_cast<ui::Menu*>(&c("videopopup"));
    auto* kinds = dynamic_cast<ui::Menu*>(&c("searchtypepopup"));
    choose(4);
    EXPECT_EQ(pages.popupMenu(), nullptr);
    for (const char* sheet : {"suiTabSheet8", "suiTabSheet9", "suiTabSheet4", "suiTabSheet2"})
        EXPECT_EQ(c(sheet).popupMenu(), kinds) << sheet;
    for (int index : {0, 1, 2, 3, 5, 6}) {
        choose(4);
        choose(index);
        EXPECT_EQ(pages.popupMenu(), video) << index;
    }
}

TEST_F(WebTabs, GoingOfflineLoadsTheSupportTab) {
    click("ZorvexOffline");
    EXPECT_FALSE(state<bool>("onlineMode"));
    EXPECT_EQ(dynamic_cast<ui::PageControl&>(c("suiPageControl1")).activeIndex(), 6);
    EXPECT_EQ(view("MozillaBrowser6").url(), "http://127.0.0.1:8102/player/support.php");
    EXPECT_TRUE(state<bool>("supportVisited"));
    // Offline, the other tabs load nothing.
    choose(5);
    EXPECT_EQ(view("MozillaBrowser5").loads(), 0);
}

} // namespace
