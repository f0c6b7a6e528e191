// The window modes through the control model on the virtual clock: the layout at
// every show and resize, the switches between the main screen, the floating video
// and full screen with the bounds each keeps, the control bar's animation, the
// pointer, the grips and the window-mode menu.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/Services.h"
#include "app/WindowModes.h"
#include "support/ProgramTest.h"
#include "ui/Application.h"
#include "ui/Menu.h"
#include "ui/Timer.h"
#include "ui/Widgets.h"

namespace {

class WindowModes : public ::testing::Test {
  protected:
    WindowModes() {
        app::Services services;
        services.echo = std::make_unique<testsupport::FakeEcho>();
        services.shell = std::make_unique<testsupport::FakeShell>();
        program = std::make_unique<app::Program>(app, app::Config(), ".", std::move(services));
        form = &program->mainform();
        modes().onFitVideo = [this] { ++fits; };
    }
    app::WindowModes& modes() { return form->windowModes(); }
    ui::Control& c(const std::string& name) { return *form->find(name); }
    /// A click on a control or a menu item, as its handler runs it.
    void click(const std::string& name) {
        app.dispatch([&] { c(name).onClick(); });
    }
    std::string mode() { return app.state().get("windowMode").get<std::string>(); }
    int step() { return app.state().get("controlBarStep").get<int>(); }
    ui::Bounds saved(const std::string& which) {
        auto j = app.state().get(which);
        return {j["left"], j["top"], j["width"], j["height"]};
    }
    /// The main window shown at (left, top) with the given size.
    void showMain(int left, int top, int width, int height) {
        form->show();
        form->setBounds(left, top, form->width(), form->height());
        form->resize(width, height);
    }
    void tick(int n = 1) {
        for (int i = 0; i < n; ++i)
            app.loop().advance(10);
    }

    ui::Application app{ui::EventLoop::ClockKind::Virtual};
    std::unique_ptr<app::Program> program;
    app::MainWindow* form = nullptr;
    int fits = 0;
};

TEST_F(WindowModes, ShowingTheWindowLaysItOut) {
    form->show();
    EXPECT_EQ(c("Panel9").bounds(), (ui::Bounds{714, 50, 239, 706}));
    EXPECT_EQ(c("videosidebarslide").width(), 239);
    EXPECT_EQ(c("Panel6").bounds(), (ui::Bounds{-5, 54, 361, 298}));
    EXPECT_EQ(c("Panel2").bounds(), (ui::Bounds{0, 0, 361, 298}));
    EXPECT_FALSE(c("fullscreenbutton").visible()); // 746 high: below 765
    EXPECT_TRUE(c("mostpopularchecked").visible());
    // One layout settles the truncated scale percents: a second show at the same
    // size moves nothing.
    const auto p8 = c("Panel8").bounds();
    form->hide();
    form->show();
    EXPECT_EQ(c("Panel8").bounds(), p8);
    EXPECT_NEAR(c("Panel9").width(), 958 * 0.25, 2);
}

TEST_F(WindowModes, EveryResizeLaysTheWindowOutAgain) {
    form->show();
    form->resize(500, 400);
    EXPECT_EQ(form->width(), 600);
    EXPECT_EQ(form->height(), 480);
    for (const char* name :
         {"mostpopularchecked", "mostrecentchecked", "previewvolume", "mpposibar", "minleft"})
        EXPECT_FALSE(c(name).visible()) << name;

    form->resize(1400, 800);
    EXPECT_EQ(c("suiForm1").width(), 1400);
    EXPECT_TRUE(c("fullscreenbutton").visible());
    EXPECT_TRUE(c("mostpopularchecked").visible());
    // Wide: the right column stands at 1.298 times the height.
    EXPECT_EQ(c("Panel9").left() + c("Panel9").width() + 5, 1038);
    EXPECT_EQ(c("Panel6").height(), 321);
    // The regions' contents and fonts grow with them.
    EXPECT_GT(c("videopic1").width(), 97);
    EXPECT_GT(fits, 0);

    form->resize(30000, 20000);
    EXPECT_NEAR(c("Panel8").height(), 20000 * 0.535, 20000 * 0.02);
    // From a huge window to a small one a single truncated percent would undershoot
    // by a third; the one layout of this resize reaches the target all the same.
    form->resize(958, 746);
    EXPECT_NEAR(c("Panel9").width(), 958 * 0.25, 958 * 0.25 / 100 + 1);
    EXPECT_NEAR(c("Panel8").width(), 958 * 0.758, 958 * 0.758 / 100 + 1);
    EXPECT_NEAR(c("Panel7").width(), 958 * 0.3662, 958 * 0.3662 / 100 + 1);
}

TEST_F(WindowModes, OneLayoutSettlesFromAnySize) {
    form->show();
    for (const auto& [w, h] : std::vector<std::pair<int, int>>{
             {30000, 20000}, {640, 500}, {2000, 700}, {600, 480}, {40000, 900}, {958, 746}}) {
        form->resize(w, h);
        const auto p7 = c("Panel7").bounds(), p8 = c("Panel8").bounds(), p9 = c("Panel9").bounds(),
                   p6 = c("Panel6").bounds();
        // Showing again lays out at the same size: nothing moves.
        form->hide();
        form->show();
        EXPECT_EQ(c("Panel7").bounds(), p7) << w << "x" << h;
        EXPECT_EQ(c("Panel8").bounds(), p8) << w << "x" << h;
        EXPECT_EQ(c("Panel9").bounds(), p9) << w << "x" << h;
        EXPECT_EQ(c("Panel6").bounds(), p6) << w << "x" << h;
    }
}

TEST_F(WindowModes, ReturningToTheMainScreenMidAnimationStopsTheControlBarTimer) {
    showMain(0, 0, 958, 746);
    int moved = 0;
    for (const char* back : {"normalscreen", "MainScreen1"}) {
        click("floatvideobutton");
        // The pointer comes in at a new place each time.
        ui::EventArgs at;
        at.x = 250 + ++moved;
        at.y = 150 + moved;
        app.dispatch([&] { app.deliver(*form, ui::Event::MouseEnter, at); });
        tick(59);
        ASSERT_EQ(step(), 60);
        click(back);
        EXPECT_EQ(mode(), "0");
        EXPECT_FALSE(form->get<ui::Timer>("Timer3").enabled()) << back;
        EXPECT_EQ(step(), 0) << back;
        const auto bounds = form->bounds();
        tick(200);
        EXPECT_EQ(step(), 0) << back;
        EXPECT_EQ(form->bounds(), bounds) << back;
    }
    // The same from full screen, where the bar slides down.
    click("fullscreenbutton");
    tick(120);
    ASSERT_EQ(step(), 120);
    click("normalscreen");
    EXPECT_FALSE(form->get<ui::Timer>("Timer3").enabled());
    EXPECT_EQ(step(), 0);
    // Full screen again starts the bar's animation from the beginning.
    click("fullscreenbutton");
    tick(2);
    EXPECT_EQ(step(), 2);
}

TEST_F(WindowModes, MainFloatMainRestoresTheMainBoundsAndKeepsTheFloatBounds) {
    showMain(30, 40, 1100, 800);
    click("floatvideobutton");
    EXPECT_EQ(mode(), "1");
    EXPECT_EQ(form->bounds(), (ui::Bounds{200, 100, 400, 350}));
    EXPECT_TRUE(form->visible());
    EXPECT_TRUE(form->frameless());
    EXPECT_TRUE(form->stayOnTop());
    for (const char* name : {"suiForm1", "Panel7", "Panel8", "Panel9", "fullscreenbutton"})
        EXPECT_FALSE(c(name).visible()) << name;
    EXPECT_FALSE(c("suiForm1").enabled());
    EXPECT_TRUE(c("normalscreen").visible());
    EXPECT_TRUE(c("FullScreen1").visible());
    EXPECT_FALSE(c("NormalScreen1").visible());
    EXPECT_EQ(c("Panel6").bounds(), (ui::Bounds{0, 0, 400, 350}));
    EXPECT_EQ(c("Panel4").bounds(), (ui::Bounds{0, 0, 400, 300}));
    EXPECT_EQ(c("Panel5").bounds(), (ui::Bounds{0, 296, 400, 50}));
    EXPECT_EQ(c("normalscreen").left(), 308);
    EXPECT_EQ(c("dragMove").left() + c("dragMove").width(), 400);
    EXPECT_EQ(c("dragLeft").left(), 0);
    EXPECT_EQ(saved("mainBounds"), (ui::Bounds{30, 40, 1100, 800}));

    // The user drags and resizes the floating window, then returns.
    form->setBounds(500, 120, 400, 350);
    form->resize(380, 300);
    EXPECT_FALSE(c("mpposibar").visible()); // narrower than 400
    EXPECT_EQ(c("normalscreen").left(), 135);
    click("normalscreen");
    EXPECT_EQ(mode(), "0");
    EXPECT_EQ(form->bounds(), (ui::Bounds{29, 40, 1100, 800})); // one pixel left
    EXPECT_FALSE(form->frameless());
    EXPECT_TRUE(c("Panel9").visible());
    EXPECT_TRUE(c("suiForm1").enabled());
    EXPECT_EQ(saved("floatBounds"), (ui::Bounds{500, 120, 380, 300}));

    // The float bounds persist; the menu's return does not shift the window.
    form->setLeft(30);
    click("floatvideobutton");
    EXPECT_EQ(form->bounds(), (ui::Bounds{500, 120, 380, 300}));
    click("MainScreen1");
    EXPECT_EQ(form->bounds(), (ui::Bounds{30, 40, 1100, 800}));
}

TEST_F(WindowModes, MainFullFloatMainKeepsTheMainBoundsOfTheMainScreen) {
    showMain(30, 40, 1100, 800);
    click("fullscreenbutton");
    EXPECT_EQ(mode(), "2");
    EXPECT_EQ(form->bounds(), (ui::Bounds{0, 0, 1920, 1080}));
    EXPECT_EQ(c("Panel4").bounds(), (ui::Bounds{0, 0, 1920, 1080}));
    EXPECT_EQ(c("Panel5").top(), 1030);
    EXPECT_TRUE(c("Panel5").visible());
    EXPECT_TRUE(form->get<ui::Timer>("Timer3").enabled());
    EXPECT_FALSE(c("FullScreen1").visible());
    EXPECT_TRUE(c("NormalScreen1").visible());

    click("NormalScreen1");
    EXPECT_EQ(mode(), "1");
    EXPECT_EQ(form->bounds(), (ui::Bounds{200, 100, 400, 350}));
    // Leaving full screen does not take the screen for the main window's bounds.
    EXPECT_EQ(saved("mainBounds"), (ui::Bounds{30, 40, 1100, 800}));

    click("FullScreen1");
    EXPECT_EQ(mode(), "2");
    click("MainScreen1");
    EXPECT_EQ(mode(), "0");
    EXPECT_EQ(form->bounds(), (ui::Bounds{30, 40, 1100, 800}));
    EXPECT_TRUE(c("Panel7").visible());
}

TEST_F(WindowModes, FloatFullFloatReturnsToTheFloatBoundsUnlessOnlyOneSideChanged) {
    showMain(0, 0, 958, 746);
    click("floatvideobutton");
    form->setBounds(300, 200, 400, 350);
    form->resize(500, 420);
    click("FullScreen1");
    EXPECT_EQ(saved("floatBounds"), (ui::Bounds{300, 200, 500, 420}));
    click("NormalScreen1");
    EXPECT_EQ(form->bounds(), (ui::Bounds{300, 200, 500, 420}));

    // Only the width changed: the float bounds stay as they were.
    form->resize(520, 420);
    click("FullScreen1");
    EXPECT_EQ(saved("floatBounds"), (ui::Bounds{300, 200, 500, 420}));
    click("NormalScreen1");
    EXPECT_EQ(form->bounds(), (ui::Bounds{300, 200, 500, 420}));
}

TEST_F(WindowModes, TheFloatingControlBarSlidesInAndOutOverOneHundredAndFiftyTicks) {
    showMain(0, 0, 958, 746);
    click("floatvideobutton");
    ui::EventArgs at;
    at.x = 250;
    at.y = 150;
    app.dispatch([&] { app.deliver(*form, ui::Event::MouseEnter, at); });
    EXPECT_EQ(step(), 1);
    tick();
    EXPECT_EQ(step(), 2);
    EXPECT_EQ(form->height(), c("Panel4").height() + 50);
    tick(98);
    EXPECT_EQ(step(), 100);
    EXPECT_EQ(form->height(), 350);
    EXPECT_TRUE(c("Panel5").visible());
    tick(25);
    EXPECT_EQ(form->height(), 325);
    EXPECT_EQ(c("Panel4").height(), 325 - (50 - 25));
    tick(25);
    EXPECT_EQ(step(), 150);
    EXPECT_EQ(form->height(), 300);
    tick();
    EXPECT_EQ(step(), 0);
    EXPECT_FALSE(form->get<ui::Timer>("Timer3").enabled());
    EXPECT_EQ(c("Panel4").height(), 300); // the video fills the shrunk window
    EXPECT_FALSE(form->pointerHidden());
}

TEST_F(WindowModes, InFullScreenTheBarSlidesDownAndThePointerHides) {
    showMain(0, 0, 958, 746);
    click("fullscreenbutton");
    // Started at the current step (0): the first tick only counts.
    tick();
    EXPECT_EQ(step(), 1);
    tick();
    EXPECT_EQ(step(), 2);
    EXPECT_EQ(c("Panel5").bounds(), (ui::Bounds{0, 1030, 1920, 50}));
    tick(98 + 50);
    EXPECT_EQ(step(), 150);
    EXPECT_EQ(c("Panel5").top(), 1080);
    EXPECT_EQ(c("Panel5").height(), 0);
    tick();
    EXPECT_EQ(step(), 0);
    EXPECT_TRUE(form->pointerHidden());
    EXPECT_EQ(app.state().get("pointerCounter"), -1);

    // The pointer moving over the video brings the bar and the pointer back.
    ui::EventArgs at;
    at.x = 700;
    at.y = 500;
    app.dispatch([&] { app.deliver(*form, ui::Event::MouseEnter, at); });
    tick();
    EXPECT_FALSE(form->pointerHidden());
    EXPECT_EQ(app.state().get("pointerCounter"), 0);
    EXPECT_EQ(c("Panel5").bounds(), (ui::Bounds{0, 1030, 1920, 50}));

    // Returning to the main screen shows the pointer again.
    tick(160);
    EXPECT_TRUE(form->pointerHidden());
    click("normalscreen");
    EXPECT_FALSE(form->pointerHidden());
}

TEST_F(WindowModes, TheGripsResizeTheFloatingWindowWithTheLeftButtonOnly) {
    showMain(0, 0, 958, 746);
    click("floatvideobutton");
    app.dispatch([&] { c("dragMove").onMouseDown(ui::MouseButton::Right, 1, 1); });
    EXPECT_EQ(form->systemResizes(), 0);
    ui::Form::Corner corner{};
    auto sub = form->systemResizeRequested.subscribe([&](ui::Form::Corner k) { corner = k; });
    app.dispatch([&] { c("dragLeft").onMouseDown(ui::MouseButton::Left, 1, 1); });
    EXPECT_EQ(corner, ui::Form::Corner::BottomLeft);
    app.dispatch([&] { c("dragMove").onMouseDown(ui::MouseButton::Left, 1, 1); });
    EXPECT_EQ(corner, ui::Form::Corner::BottomRight);
    EXPECT_EQ(form->systemResizes(), 2);
}

TEST_F(WindowModes, TheModeButtonsTurnBlackUnderThePointer) {
    for (const char* name : {"floatvideobutton", "suiImageButton26"}) {
        app.dispatch([&] { c(name).onMouseEnter(); });
        EXPECT_EQ(c(name).font().colour, ui::colours::black);
        app.dispatch([&] { c(name).onMouseLeave(); });
        EXPECT_EQ(c(name).font().colour, (ui::Colour{128, 128, 128}));
    }
    showMain(0, 0, 958, 746);
    click("suiImageButton26");
    EXPECT_EQ(mode(), "2");
}

} // namespace

namespace {

class WindowKeys : public WindowModes {
  protected:
    void key(const std::string& k) {
        ui::EventArgs args;
        args.key = k;
        app.dispatch([&] { app.deliver(*form, ui::Event::KeyPress, args); });
    }
};

TEST_F(WindowKeys, FAndEscSwitchTheScreensOnceAVideoCanBeShown) {
    showMain(30, 40, 1100, 800);
    c("suiImageButton26").setEnabled(false); // as a stop leaves it
    key("f");
    EXPECT_EQ(mode(), "");
    c("suiImageButton26").setEnabled(true);
    key("F");
    EXPECT_EQ(mode(), "2");
    key("\x1b");
    EXPECT_EQ(mode(), "0");
    EXPECT_EQ(form->bounds(), (ui::Bounds{29, 40, 1100, 800}));
    key("\x1b"); // already on the main screen
    EXPECT_EQ(mode(), "0");
    click("floatvideobutton");
    key("f");
    EXPECT_EQ(mode(), "2");
    key("f");
    EXPECT_EQ(mode(), "0");
}

TEST_F(WindowKeys, SpaceRunsPauseOrPlayAndCtrlLStartsTypingInTheSearchBox) {
    showMain(0, 0, 958, 746);
    int paused = 0;
    c("pause").onClick = [&] { ++paused; };
    key(" ");
    EXPECT_EQ(paused, 1);

    auto& box = form->get<ui::Edit>("sqlsearchedit");
    EXPECT_EQ(box.text(), "Enter Search Request");
    key("\x0c");
    EXPECT_EQ(box.text(), "");
    EXPECT_EQ(box.font().colour, ui::colours::black);
    EXPECT_EQ(box.focusRequests(), 1);
    // Other keys pass on untouched.
    key("x");
    EXPECT_EQ(mode(), "");
}

TEST_F(WindowModes, ThePlayerSurfaceFillsThePlayerAreaAndStaysBesideTheInformationArea) {
    auto fills = [&](const char* when) {
        EXPECT_EQ(c("ShockwaveFlash1").bounds(),
                  (ui::Bounds{0, 0, c("Panel4").width(), c("Panel4").height()}))
            << when;
        if (mode() != "1" && mode() != "2") {
            auto& surface = c("ShockwaveFlash1");
            const int right = ui::screenPosition(surface, surface.width(), 0).first;
            EXPECT_LE(right, ui::screenPosition(c("Panel7"), 0, 0).first) << when;
        }
    };
    form->show();
    fills("shown");
    for (const auto& [w, h] : std::vector<std::pair<int, int>>{
             {1200, 700}, {800, 900}, {600, 480}, {1600, 1200}, {958, 746}}) {
        form->resize(w, h);
        fills("resized");
    }
    click("floatvideobutton");
    fills("float");
    form->resize(380, 300);
    fills("float resized");
    click("FullScreen1");
    fills("full screen");
    click("normalscreen");
    fills("main again");
}

} // namespace
