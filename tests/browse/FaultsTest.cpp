// The catalogue server dies in the middle of each kind of action (a page, a side
// tab, a category, a search, the online load): the action reports the catalogue's
// error, nothing crashes, and the same action works once the server is back. The
// server is the test's own (the shared test catalogue stays up), and the program
// waits for it as the window does, through the application's wait hook, so each
// statement runs on a thread of its own and the test can freeze the server after
// one call and kill it while the next is on its way.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <thread>

#include <nlohmann/json.hpp>

#include "media/SilentServer.h"
#include "support/PrivateCatalogue.h"
#include "support/ProgramTest.h"
#include "ui/TreeView.h"
#include "ui/Widgets.h"

namespace {

using testsupport::ProgramTest;

class ServerDies : public testsupport::ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        if (HasFatalFailure())
            return;
        try {
            server_.emplace();
        } catch (const std::exception& e) {
            GTEST_FAIL() << e.what();
        }
    }
    void TearDown() override {
        ProgramTest::TearDown();
        server_.reset();
    }

    /// The program on the private server, waiting for it through the wait hook.
    void startOnPrivateServer() {
        start("[catalogue]\nport = " + std::to_string(server_->port()) + "\n");
        app->waitHook = [this](const std::function<bool()>& finished) {
            const int call = ++calls_;
            if (call == killAt_)
                server_->kill(); // this call is on its way to the frozen server
            while (!finished())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            if (call + 1 == killAt_)
                server_->freeze(); // the next call finds the server frozen
            return true;
        };
    }
    /// Runs `action` with the server killed while the action's `call`-th call to
    /// the catalogue (1 is the connection) is on its way. Returns how many calls the
    /// action made.
    int runKilledAt(int call, const std::function<void()>& action) {
        calls_ = 0;
        killAt_ = call;
        action();
        killAt_ = 0;
        return calls_;
    }
    int runCounted(const std::function<void()>& action) {
        calls_ = 0;
        action();
        return calls_;
    }
    std::string allErrors() {
        std::string all;
        for (const auto& e : errors())
            all += e + "\n";
        return all;
    }
    std::string featureTitle(int n) {
        return app->state().get("featureSlots")[n - 1]["title"].get<std::string>();
    }

    std::optional<testsupport::PrivateCatalogue> server_;
    int calls_ = 0;
    int killAt_ = 0;
};

TEST_F(ServerDies, InTheMiddleOfEachActionTheErrorIsReportedAndTheActionWorksAfterTheRestart) {
    startOnPrivateServer();
    // The online load: killed at its fourth call, then the menu's second load.
    int calls = runKilledAt(4, [&] { runChecks(); });
    EXPECT_GE(calls, 4);
    ASSERT_EQ(errors().size(), 1u) << allErrors();
    EXPECT_FALSE(app->state().get("catalogueConnected").get<bool>());
    server_->start();
    // The splash dialog's Enter continues to the main window after a failed load.
    ui::EventArgs enter;
    enter.key = "\r";
    event("AboutBox", ui::Event::KeyPress, enter);
    ASSERT_TRUE(form->visible());
    calls =
        runCounted([&] { app->dispatch([&] { app->findControl("ZorvexOnline")->onClick(); }); });
    EXPECT_GT(calls, 4);
    EXPECT_EQ(errors().size(), 1u) << allErrors();
    EXPECT_TRUE(app->state().get("onlineMode").get<bool>());

    struct Action {
        const char* name;
        std::function<void()> run;
        std::function<void()> expectDone;
    };
    auto& tree = dynamic_cast<ui::TreeView&>(*app->findControl("CatList"));
    const std::vector<Action> actions = {
        {"a page", [&] { click("suiImageButton7"); },
         [&] { EXPECT_FALSE(featureTitle(1).empty()); }},
        {"a side tab", [&] { event("videosidebarslide", ui::Event::Pop); },
         [&] {
             EXPECT_FALSE(app->state().get("worldSlots")[0]["title"].get<std::string>().empty());
         }},
        {"a category",
         [&] {
             tree.setSelected(0);
             event("CatList", ui::Event::DblClick);
         },
         [&] { EXPECT_TRUE(app->state().get("resultQueryShown").get<bool>()); }},
        {"a search",
         [&] {
             click("sqlsearchedit");
             app->dispatch([&] {
                 dynamic_cast<ui::Edit&>(*app->findControl("sqlsearchedit")).setText("surfing");
             });
             click("mostpopularchecked");
             click("textSearch");
         },
         [&] { EXPECT_GT(app->state().get("textResultCount").get<int>(), 0); }},
    };
    ASSERT_GT(tree.count(), 0);
    for (const auto& action : actions) {
        SCOPED_TRACE(action.name);
        const std::size_t before = errors().size();
        // The second call is the action's first statement, after its connection.
        // The action ends at the call that broke.
        EXPECT_EQ(runKilledAt(2, action.run), 2);
        ASSERT_EQ(errors().size(), before + 1) << allErrors();
        EXPECT_FALSE(errors().back().empty());
        EXPECT_FALSE(app->state().get("catalogueConnected").get<bool>());

        server_->start();
        runCounted(action.run);
        EXPECT_EQ(errors().size(), before + 1) << allErrors();
        action.expectDone();
        EXPECT_FALSE(app->state().get("catalogueConnected").get<bool>());
    }
    EXPECT_EQ(server_->connections(), 0);
}

// A catalogue host that takes the connection and never answers (a listening socket
// that never accepts): the program gives up after the configured connect time-out,
// with the connection error, and the wait runs through the front end's hook the
// whole time, so the window keeps painting. The time is measured and printed, not
// asserted; a program that never gave up would run into the test's time-out.
class SilentHost : public ProgramTest {};

TEST_F(SilentHost, AHostThatNeverAnswersIsGivenUpAfterTheConnectTimeOut) {
    mediatest::SilentServer silent;
    const std::string url = silent.url("");
    const std::string port = url.substr(url.rfind(':') + 1);
    start("[catalogue]\nport = " + port + "\nconnect_timeout = 2\n");
    int polls = 0;
    app->waitHook = [&](const std::function<bool()>& finished) {
        while (!finished()) {
            ++polls; // a window would paint and offer a cancel here
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return true;
    };
    const auto began = std::chrono::steady_clock::now();
    runChecks(); // the online load's connection
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_EQ(errors()[0].rfind("Dataset server could not connect: ", 0), 0u) << errors()[0];
    EXPECT_GT(polls, 1);
    std::printf("gave up after %.2f s (connect_timeout = 2 s): %s\n", seconds, errors()[0].c_str());
    RecordProperty("gave_up_seconds", std::to_string(seconds));
}

} // namespace
