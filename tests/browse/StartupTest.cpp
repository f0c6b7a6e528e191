// Start-up against the test catalogue: the splash checks, the online load, the
// offline switch and the way back online.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "app/OnlineMode.h"
#include "app/SplashDialog.h"
#include "support/ProgramTest.h"
#include "ui/Image.h"
#include "ui/Menu.h"
#include "ui/PageControl.h"
#include "ui/TreeView.h"
#include "ui/Widgets.h"

namespace {

using testsupport::FakeEcho;

class Startup : public testsupport::ProgramTest {
  protected:
    template <class T> T& get(const std::string& name) {
        return *dynamic_cast<T*>(app->findControl(name));
    }
    const std::string& caption(const std::string& name) {
        return app->findControl(name)->caption();
    }
    int progress() { return get<ui::ProgressBar>("startProgress").position(); }
    bool tabVisible(const char* control, int i) {
        return get<ui::PageControl>(control).page(i).tabVisible();
    }
    int usageRows() { return std::stoi(scalar("SELECT COUNT(*) FROM halden.videopath")); }
};

TEST_F(Startup, AnsweredChecksRunTheOnlineLoadAndContinueShowsTheMainWindow) {
    echo->byHost["127.0.0.1"] = FakeEcho::reply(7);
    const int rowsBefore = usageRows();
    start();
    EXPECT_TRUE(get<ui::Form>("AboutBox").visible());
    EXPECT_FALSE(form->visible());
    EXPECT_FALSE(get<ui::Button>("suiImageButton1").enabled());

    deliverAdvance(199);
    EXPECT_TRUE(echo->calls.empty());
    deliverAdvance(1);
    EXPECT_EQ(echo->calls,
              (std::vector<std::string>{"localhost", "127.0.0.1", "localhost", "127.0.0.1"}));
    EXPECT_EQ(caption("port80"), "Checking Internet on Port 80....OK");
    EXPECT_EQ(caption("port3306"), "Checking Internet on Port 3306...OK");
    EXPECT_EQ(app->state().get("pingTimeText"), "7");
    EXPECT_TRUE(errors().empty()) << errors().front();
    EXPECT_TRUE(form->online().onlineMode());
    EXPECT_EQ(progress(), 100);
    EXPECT_TRUE(get<ui::Button>("suiImageButton1").enabled());
    EXPECT_EQ(usageRows(), rowsBefore + 1);
    EXPECT_EQ(scalar("SELECT version FROM halden.videopath ORDER BY id DESC LIMIT 1"),
              "Version 2.1 ");

    // The pages opened on their first topics, with the captions from the server.
    const std::string firstTopic =
        scalar("SELECT videoquerycaption FROM qzrbackup.videoqueryfeature LIMIT 1");
    EXPECT_EQ(caption("suiTabSheet8"), firstTopic);
    EXPECT_EQ(caption("querybutton1"), firstTopic.substr(0, 16));
    EXPECT_FALSE(caption("featurepic1caption").empty());
    EXPECT_FALSE(get<ui::Image>("featurepic8").picture()->empty());
    EXPECT_FALSE(get<ui::Image>("specialpic1").picture()->empty());
    EXPECT_GT(get<ui::TreeView>("CatList").count(), 0);
    EXPECT_EQ(caption("OnlineModeCaption"), "Online");
    EXPECT_FALSE(app->state().get("catalogueConnected").get<bool>());

    click("suiImageButton1");
    EXPECT_TRUE(form->visible());
    EXPECT_FALSE(get<ui::Form>("AboutBox").visible());
    EXPECT_EQ(get<ui::PageControl>("suiPageControl1").activeIndex(), 2);
    EXPECT_EQ(get<ui::Edit>("sqlsearchedit").text(), "Enter Search Request");
    EXPECT_EQ(usageRows(), rowsBefore + 1); // continuing after passed checks loads nothing again
    EXPECT_TRUE(app->dialogs().log().empty());
}

TEST_F(Startup, ChecksWithoutRepliesFailNothing) {
    echo->byHost["localhost"] = FakeEcho::silent();
    echo->byHost["127.0.0.1"] = FakeEcho::silent();
    start();
    runChecks();
    EXPECT_EQ(caption("port80"), "Checking Internet on Port 80.");
    EXPECT_EQ(caption("port3306"), "Checking Internet on Port 3306.");
    EXPECT_FALSE(form->splash().checksFailed());
    EXPECT_TRUE(form->online().onlineMode());
    EXPECT_EQ(app->state().get("pingTimeText"), "");
}

TEST_F(Startup, FailedChecksAskAndWorkOfflineKeepsOnlyTheLocalPages) {
    echo->byHost["localhost"] = FakeEcho::unsent();
    echo->byHost["127.0.0.1"] = FakeEcho::unsent();
    start();
    runChecks();
    EXPECT_EQ(caption("port80"), "Check Internet Connection");
    EXPECT_EQ(caption("port3306"), "No Connection to Zorvex Server");
    EXPECT_EQ(get<ui::Label>("port80").font().colour.hex(), "#FF2828");
    EXPECT_EQ(progress(), 0);
    EXPECT_TRUE(get<ui::Button>("suiImageButton1").enabled());

    app->dialogs().queueAnswer("Work Offline");
    click("suiImageButton1");
    const auto& question = app->dialogs().log().back();
    EXPECT_EQ(question.title, "Zorvex Notice");
    EXPECT_EQ(question.buttons, (std::vector<std::string>{"Work Online", "Work Offline"}));
    EXPECT_TRUE(form->visible());
    EXPECT_FALSE(form->online().onlineMode());
    for (int i = 0; i <= 5; ++i)
        EXPECT_FALSE(tabVisible("suiPageControl1", i)) << i;
    EXPECT_TRUE(tabVisible("suiPageControl1", 6));
    EXPECT_EQ(get<ui::PageControl>("suiPageControl1").activeIndex(), 6);
    EXPECT_EQ(get<ui::PageControl>("sidepage").activeIndex(), 2);
    EXPECT_FALSE(tabVisible("sidepage", 0));
    for (const char* name :
         {"suiImageButton3", "suiButton8", "suiButton5", "sqlsearchedit", "textSearch"})
        EXPECT_FALSE(app->findControl(name)->enabled()) << name;
    EXPECT_EQ(caption("titledis"), "Zorvex");
    EXPECT_EQ(caption("descdis1"), "Zorvex is running in Offline Mode");
    EXPECT_EQ(caption("descdis2"), "Check your Internet Firewall");
    EXPECT_EQ(app->state().get("infoDefaults")[1], "Zorvex is running in Offline Mode");
    EXPECT_EQ(caption("OnlineModeCaption"), "Offline");
    EXPECT_FALSE(get<ui::MenuItem>("ZorvexOffline").visible());
    EXPECT_TRUE(get<ui::MenuItem>("ZorvexOnline").visible());

    // Going online again from the menu brings every control back.
    app->dispatch([&] { get<ui::MenuItem>("ZorvexOnline").onClick(); });
    EXPECT_TRUE(form->online().onlineMode());
    for (const char* name :
         {"suiImageButton3", "suiButton8", "suiButton5", "sqlsearchedit", "textSearch"})
        EXPECT_TRUE(app->findControl(name)->enabled()) << name;
    EXPECT_TRUE(tabVisible("suiPageControl1", 0));
}

TEST_F(Startup, FailedChecksAndWorkOnlineRunTheFullLoadOnShow) {
    echo->byHost["127.0.0.1"] = FakeEcho::unsent();
    const int rowsBefore = usageRows();
    start();
    runChecks();
    EXPECT_FALSE(form->online().onlineMode());
    app->dialogs().queueAnswer("Work Online");
    click("suiImageButton1");
    EXPECT_TRUE(form->online().onlineMode());
    EXPECT_EQ(usageRows(), rowsBefore + 1);
    // Every online load writes its row: the menu's second load makes two.
    app->dispatch([&] { get<ui::MenuItem>("ZorvexOnline").onClick(); });
    EXPECT_EQ(usageRows(), rowsBefore + 2);
}

TEST_F(Startup, CatalogueDownEndsTheLoadWithItsErrorAndEnterStillContinues) {
    start("[catalogue]\nport = 1\n"); // nothing listens there
    runChecks();
    EXPECT_FALSE(form->splash().checksFailed());
    // One connection attempt: the load ends at its connect step with the reason.
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_EQ(errors()[0].rfind("Dataset server could not connect: ", 0), 0u) << errors()[0];
    EXPECT_GT(errors()[0].size(), std::string("Dataset server could not connect: ").size());
    EXPECT_FALSE(form->online().onlineMode());
    EXPECT_EQ(progress(), 3);
    EXPECT_FALSE(get<ui::Button>("suiImageButton1").enabled());
    EXPECT_FALSE(app->state().get("catalogueConnected").get<bool>());

    ui::EventArgs enter;
    enter.key = "\r";
    event("AboutBox", ui::Event::KeyPress, enter);
    EXPECT_TRUE(form->visible());
    EXPECT_FALSE(get<ui::Form>("AboutBox").visible());
}

TEST_F(Startup, ClosingEitherWindowEndsTheProgram) {
    start();
    event("AboutBox", ui::Event::Close);
    EXPECT_TRUE(app->terminated());
}

TEST_F(Startup, ClosingTheMainWindowEndsTheProgramAndAboutShowsTheDialogAgain) {
    startOnline();
    const auto calls = echo->calls.size();
    app->dispatch([&] { get<ui::MenuItem>("AboutPeloraBrowser1").onClick(); });
    EXPECT_TRUE(get<ui::Form>("AboutBox").visible());
    deliverAdvance(1000);
    EXPECT_EQ(echo->calls.size(), calls); // the checks are not repeated
    click("suiImageButton1");
    EXPECT_FALSE(get<ui::Form>("AboutBox").visible());
    EXPECT_FALSE(app->terminated());
    event("mainform", ui::Event::Close);
    EXPECT_TRUE(app->terminated());
}

TEST_F(Startup, LinkLabelsOpenTheirAddressAndEndTheProgram) {
    start();
    click("suiURLLabel3");
    ASSERT_EQ(shell->opened.size(), 1u);
    EXPECT_EQ(shell->opened[0].rfind("http://", 0), 0u);
    EXPECT_TRUE(app->terminated());
}

} // namespace
