#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

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
        t.onTimer = [this, name] { fired.push_back(name + "@" + std::to_string(app.loop().now())); };
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

TEST(EventLoopReal, AdvanceIsRefusedOnTheRealClock) {
    ui::EventLoop loop(ui::EventLoop::ClockKind::Real);
    EXPECT_THROW(loop.advance(10), std::logic_error);
}

} // namespace
