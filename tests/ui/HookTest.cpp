// The model's hooks: several listeners, each leaving when its subscription goes.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Hook.h"
#include "ui/Menu.h"
#include "ui/Widgets.h"

namespace {

using ::testing::ElementsAre;

TEST(Hook, EveryListenerHearsInTheOrderItSubscribed) {
    ui::Hook<int, const std::string&> hook;
    std::vector<std::string> heard;
    auto first = hook.subscribe(
        [&](int n, const std::string& s) { heard.push_back("first:" + std::to_string(n) + s); });
    auto second = hook.subscribe(
        [&](int n, const std::string& s) { heard.push_back("second:" + std::to_string(n) + s); });
    EXPECT_EQ(hook.size(), 2u);
    hook.notify(7, "x");
    EXPECT_THAT(heard, ElementsAre("first:7x", "second:7x"));
}

TEST(Hook, AListenerThatGoesIsNotCalledAgain) {
    ui::Hook<> hook;
    std::vector<std::string> heard;
    auto stays = hook.subscribe([&] { heard.push_back("stays"); });
    {
        auto leaves = hook.subscribe([&] { heard.push_back("leaves"); });
        hook.notify();
    }
    hook.notify();
    EXPECT_THAT(heard, ElementsAre("stays", "leaves", "stays"));
    EXPECT_EQ(hook.size(), 1u);

    stays.reset();
    EXPECT_FALSE(stays.active());
    hook.notify();
    EXPECT_EQ(heard.size(), 3u);
    EXPECT_EQ(hook.size(), 0u);
}

TEST(Hook, MovingASubscriptionKeepsOneListenerAndDropsTheOverwrittenOne) {
    ui::Hook<> hook;
    int a = 0, b = 0;
    ui::Subscription held = hook.subscribe([&] { ++a; });
    ui::Subscription other = hook.subscribe([&] { ++b; });
    ui::Subscription moved = std::move(held);
    EXPECT_FALSE(held.active());
    EXPECT_TRUE(moved.active());
    moved = std::move(other); // the listener counting a leaves
    hook.notify();
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 1);
    EXPECT_EQ(hook.size(), 1u);
}

TEST(Hook, ListenersMayLeaveOrJoinWhileTheHookNotifies) {
    ui::Hook<> hook;
    std::vector<std::string> heard;
    std::optional<ui::Subscription> second;
    std::optional<ui::Subscription> late;
    auto first = hook.subscribe([&] {
        heard.push_back("first");
        second.reset(); // the next listener leaves before its turn
        if (!late)
            late = hook.subscribe([&] { heard.push_back("late"); });
    });
    second = hook.subscribe([&] { heard.push_back("second"); });
    ui::Subscription self;
    self = hook.subscribe([&] {
        heard.push_back("self");
        self.reset(); // leaving from inside its own call
    });
    hook.notify();
    EXPECT_THAT(heard, ElementsAre("first", "self"));
    hook.notify();
    EXPECT_THAT(heard, ElementsAre("first", "self", "first", "late"));
}

TEST(Hook, ASubscriptionMayOutliveItsHook) {
    ui::Subscription kept;
    {
        ui::Hook<> hook;
        kept = hook.subscribe([] {});
        EXPECT_TRUE(kept.active());
    }
    EXPECT_FALSE(kept.active());
    kept.reset(); // nothing left to leave
}

TEST(Hook, MenusFormsAndTheApplicationTellEveryListener) {
    ui::Application app{ui::EventLoop::ClockKind::Virtual};
    auto form = std::make_unique<ui::Form>(app, "form");
    auto& menu = form->add<ui::Menu>("thumbMenu");
    form->add<ui::Label>("title");

    std::vector<std::string> heard;
    auto shownA = menu.popupRequested.subscribe([&](ui::Menu& m, int x, int y) {
        heard.push_back("a:" + m.name() + ":" + std::to_string(x) + "," + std::to_string(y));
    });
    auto shownB = menu.popupRequested.subscribe(
        [&](ui::Menu& m, int, int) { heard.push_back("b:" + m.name()); });
    menu.popup(30, 40);
    EXPECT_THAT(heard, ElementsAre("a:thumbMenu:30,40", "b:thumbMenu"));
    EXPECT_EQ(menu.popupCount(), 1);
    shownA.reset();
    menu.popup(1, 2);
    EXPECT_THAT(heard, ElementsAre("a:thumbMenu:30,40", "b:thumbMenu", "b:thumbMenu"));
    EXPECT_EQ(menu.popupCount(), 2);

    int movesA = 0, movesB = 0;
    auto moveA = form->systemMoveRequested.subscribe([&] { ++movesA; });
    auto moveB = form->systemMoveRequested.subscribe([&] { ++movesB; });
    form->startSystemMove();
    EXPECT_EQ(movesA, 1);
    EXPECT_EQ(movesB, 1);
    EXPECT_EQ(form->systemMoves(), 1);

    const ui::Control* formAddress = form.get();
    std::vector<std::string> removedA;
    int removedB = 0;
    auto goneA = app.controlRemoved.subscribe([&](ui::Control& c) {
        // Only the address is safe here; the test knows which names those are.
        removedA.push_back(&c == formAddress ? "form" : &c == &menu ? "menu" : "other");
    });
    auto goneB = app.controlRemoved.subscribe([&](ui::Control&) { ++removedB; });
    form.reset();
    // The menu's subscriptions outlived it and leave without harm.
    shownB.reset();
    EXPECT_THAT(removedA, ElementsAre("menu", "other", "form"));
    EXPECT_EQ(removedB, 3);
}

} // namespace
