#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Timer.h"

namespace {

struct Fixture : ::testing::Test {
    ui::Application app{ui::EventLoop::ClockKind::Virtual};
    ui::Form form{app, "form"};
    std::vector<std::string> fired;

    ui::Timer& timer(const std::string& name, int interval, bool enabled = true) {
        auto& t = form.add<ui::Timer>(name, interval, enabled);
        t.onTimer = [this, name] {
            fired.push_back(name + "@" + std::to_string(app.loop().now()));
        };
        return t;
    }
};

TEST_F(Fixture, DueTimersFireInTimeOrderThenEnablingOrder) {
    timer("slow", 300);
    timer("fast", 100);
    timer("same", 100);
    app.loop().advance(350);
    EXPECT_EQ(fired, (std::vector<std::string>{"fast@100", "same@100", "fast@200", "same@200",
                                               "slow@300", "fast@300", "same@300"}));
    EXPECT_EQ(app.loop().now(), 350);
}

TEST_F(Fixture, DisabledTimerStaysQuietAndReEnablingRestartsTheInterval) {
    auto& t = timer("t", 200, false);
    app.loop().advance(500);
    EXPECT_TRUE(fired.empty());

    t.setEnabled(true); // at 500: next tick at 700
    app.loop().advance(150);
    t.setEnabled(false);
    t.setEnabled(true); // at 650: restarted, next tick at 850
    app.loop().advance(199);
    EXPECT_TRUE(fired.empty());
    app.loop().advance(1);
    EXPECT_EQ(fired, (std::vector<std::string>{"t@850"}));

    // Enabling an enabled timer keeps its running interval.
    app.loop().advance(100);
    t.setEnabled(true);
    app.loop().advance(100);
    EXPECT_EQ(fired.back(), "t@1050");
}

TEST_F(Fixture, TimerDisabledInsideItsOwnTickDoesNotFireAgain) {
    auto& once = timer("once", 500);
    once.onTimer = [&] {
        fired.push_back("once");
        once.setEnabled(false);
    };
    app.loop().advance(5000);
    EXPECT_EQ(fired, (std::vector<std::string>{"once"}));
    EXPECT_EQ(once.due(), -1);
}

TEST_F(Fixture, ChangingTheIntervalRestartsIt) {
    auto& t = timer("t", 100);
    app.loop().advance(50);
    t.setInterval(300); // restarted at 50
    app.loop().advance(299);
    EXPECT_TRUE(fired.empty());
    app.loop().advance(1);
    EXPECT_EQ(fired, (std::vector<std::string>{"t@350"}));
}

TEST_F(Fixture, ErrorInATickIsShownAndTheTimerGoesOn) {
    auto& t = timer("t", 100);
    int ticks = 0;
    t.onTimer = [&] {
        ++ticks;
        throw std::runtime_error("tick failed");
    };
    app.loop().advance(250);
    EXPECT_EQ(ticks, 2);
    ASSERT_EQ(app.dialogs().log().size(), 2u);
    EXPECT_EQ(app.dialogs().log()[0].text, "tick failed");
    EXPECT_EQ(app.dialogs().log()[0].type, ui::DialogRecord::Type::Error);
}

TEST_F(Fixture, WorkPostedFromAnotherThreadRunsOnTheUiThreadInOrder) {
    const auto uiThread = std::this_thread::get_id();
    std::vector<int> order;
    std::atomic<int> offThread{0};
    std::thread worker([&] {
        for (int i = 0; i < 100; ++i)
            app.loop().post([&, i] {
                if (std::this_thread::get_id() != uiThread)
                    ++offThread;
                order.push_back(i);
            });
    });
    worker.join();
    EXPECT_TRUE(app.loop().waitForPosted(std::chrono::milliseconds(1000)));
    EXPECT_EQ(app.loop().runPosted(), 100u);
    EXPECT_EQ(offThread, 0);
    ASSERT_EQ(order.size(), 100u);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(order[static_cast<std::size_t>(i)], i);
}

TEST_F(Fixture, PostWakesTheDriverAndAdvanceRunsPostedWorkAfterEachTick) {
    std::atomic<int> wakes{0};
    app.loop().setWakeHandler([&] { ++wakes; });
    auto& t = timer("t", 100);
    t.onTimer = [&] {
        fired.push_back("tick");
        app.loop().post([&] { fired.push_back("posted"); });
    };
    app.loop().advance(200);
    EXPECT_EQ(fired, (std::vector<std::string>{"tick", "posted", "tick", "posted"}));
    EXPECT_GT(wakes.load(), 0);
}

// Records the order in which pieces of work ran and whether any ran inside another.
struct Nesting {
    std::vector<std::string> order;
    int depth = 0;
    int deepest = 0;
    template <class F> void run(const std::string& name, F&& body) {
        ++depth;
        deepest = std::max(deepest, depth);
        order.push_back(name);
        body();
        --depth;
    }
};

TEST_F(Fixture, WorkPostedByAHandlerRunsAfterItInOrderAndNeverInsideIt) {
    ui::EventLoop& loop = app.loop();
    Nesting seen;
    app.dispatch([&] {
        seen.run("handler", [&] {
            loop.post([&] { seen.run("A", [&] { loop.post([&] { seen.run("A.1", [] {}); }); }); });
            loop.post([&] { seen.run("B", [] {}); });
            // Work from another thread is no part of this event: it waits for a turn
            // of its own, after everything this event caused.
            std::thread other([&] { loop.post([&] { seen.run("outside", [] {}); }); });
            other.join();
            EXPECT_EQ(seen.order.size(), 1u); // nothing ran inside the handler
        });
    });
    // The event's own work ran before dispatch returned; the outside work waits.
    EXPECT_EQ(seen.order, (std::vector<std::string>{"handler", "A", "B", "A.1"}));
    EXPECT_TRUE(loop.hasPosted());
    EXPECT_EQ(loop.runPosted(), 1u);
    EXPECT_EQ(seen.order.back(), "outside");
    EXPECT_EQ(seen.deepest, 1);
}

TEST_F(Fixture, PostedWorkThatPostsMoreRunsAsOneTurnBeforeTheNextQueuedWork) {
    ui::EventLoop& loop = app.loop();
    Nesting seen;
    loop.post([&] { seen.run("first", [&] { loop.post([&] { seen.run("first.1", [] {}); }); }); });
    loop.post([&] { seen.run("second", [] {}); });
    EXPECT_EQ(loop.runPosted(), 2u);
    EXPECT_EQ(seen.order, (std::vector<std::string>{"first", "first.1", "second"}));
    EXPECT_EQ(seen.deepest, 1);
}

TEST_F(Fixture, RunningTheLoopInsideAHandlerIsRefused) {
    ui::EventLoop& loop = app.loop();
    bool queuedRan = false;
    bool ranInside = false;
    loop.post([&] { queuedRan = true; });
    timer("t", 100);
    app.dispatch([&] {
        EXPECT_TRUE(loop.inTurn());
        EXPECT_THROW(loop.runPosted(), std::logic_error);
        EXPECT_THROW(loop.runDue(), std::logic_error);
        EXPECT_THROW(loop.runWatches(), std::logic_error);
        EXPECT_THROW(loop.runTurn([] {}), std::logic_error);
        ranInside = queuedRan;
        // Uncaught, the refusal is shown like any handler's error.
        loop.runPosted();
    });
    EXPECT_FALSE(ranInside);
    EXPECT_FALSE(queuedRan);
    EXPECT_FALSE(loop.inTurn());
    ASSERT_EQ(app.dialogs().log().size(), 1u);
    EXPECT_EQ(app.dialogs().log()[0].text,
              "posted work runs only from the top level of the event loop, never inside a "
              "handler or posted work");
    loop.runPosted();
    EXPECT_TRUE(queuedRan);
}

TEST_F(Fixture, AdvanceInsideAHandlerContinuesAfterItsWork) {
    ui::EventLoop& loop = app.loop();
    auto& t = timer("t", 100);
    t.onTimer = [&] {
        fired.push_back("tick@" + std::to_string(loop.now()));
        loop.post([&] { fired.push_back("tick's work"); });
    };
    app.dispatch([&] {
        loop.advance(250);
        // Not yet: the ticks run after this handler and its work, one at a time.
        EXPECT_EQ(loop.now(), 0);
        loop.post([&] { fired.push_back("handler's work"); });
        loop.afterTurn([&] { fired.push_back("after the move @" + std::to_string(loop.now())); });
    });
    EXPECT_EQ(fired, (std::vector<std::string>{"handler's work", "tick@100", "tick's work",
                                               "tick@200", "tick's work", "after the move @250"}));
    EXPECT_EQ(loop.now(), 250);
}

TEST_F(Fixture, AfterTurnCallbacksWaitForTheTurnsWorkAndMayContinueThemselves) {
    ui::EventLoop& loop = app.loop();
    EXPECT_THROW(loop.afterTurn([] {}), std::logic_error);
    std::vector<std::string> order;
    std::function<void(int)> step = [&](int n) {
        order.push_back("step " + std::to_string(n));
        loop.post([&, n] { order.push_back("work of step " + std::to_string(n)); });
        if (n < 3)
            loop.afterTurn([&, n] { step(n + 1); });
    };
    loop.runTurn([&] {
        loop.afterTurn([&] { step(1); });
        loop.afterTurn([&] { order.push_back("last"); });
        loop.post([&] { order.push_back("work"); });
    });
    EXPECT_EQ(order,
              (std::vector<std::string>{"work", "step 1", "work of step 1", "step 2",
                                        "work of step 2", "step 3", "work of step 3", "last"}));
}

TEST_F(Fixture, WatchesRunAsTurnsUntilTheyAreDone) {
    ui::EventLoop& loop = app.loop();
    int checks = 0;
    bool ready = false;
    loop.runTurn([&] {
        loop.watch([&] {
            ++checks;
            EXPECT_TRUE(loop.inTurn());
            return ready;
        });
    });
    EXPECT_TRUE(loop.watching());
    loop.runWatches();
    loop.runWatches();
    EXPECT_EQ(checks, 2);
    ready = true;
    loop.runWatches();
    EXPECT_EQ(checks, 3);
    EXPECT_FALSE(loop.watching());
    loop.runWatches();
    EXPECT_EQ(checks, 3);
}

TEST_F(Fixture, ADriverCalledInsideAHandlerIsWokenOnceTheHandlerIsDone) {
    // A modal dialog's loop inside a handler calls the driver; it may not run the
    // queued work there and asks to be woken afterwards instead.
    ui::EventLoop& loop = app.loop();
    int wakes = 0;
    loop.setWakeHandler([&] { ++wakes; });
    app.dispatch([&] {
        ASSERT_TRUE(loop.inTurn());
        loop.wakeAfterTurn();
        EXPECT_EQ(wakes, 0);
    });
    EXPECT_EQ(wakes, 1);
    app.dispatch([] {});
    EXPECT_EQ(wakes, 1);
}

TEST(EventLoopReal, AdvanceIsRefusedOnTheRealClock) {
    ui::EventLoop loop(ui::EventLoop::ClockKind::Real);
    EXPECT_THROW(loop.advance(10), std::logic_error);
}

} // namespace
