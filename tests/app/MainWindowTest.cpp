// The main window as built: its regions, pages, menus and timers, and the
// window-wide mouse rules. No catalogue is needed to build it.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/Services.h"
#include "app/SplashDialog.h"
#include "app/WindowModes.h"
#include "support/ProgramTest.h"
#include "support/TempDir.h"
#include "ui/Application.h"
#include "ui/Image.h"
#include "ui/Menu.h"
#include "ui/PageControl.h"
#include "ui/Timer.h"
#include "ui/Widgets.h"

namespace {

class MainWindow : public ::testing::Test {
  protected:
    MainWindow() {
        app::Services services;
        services.echo = std::make_unique<testsupport::FakeEcho>();
        services.shell = std::make_unique<testsupport::FakeShell>();
        program = std::make_unique<app::Program>(app, app::Config(), ".", std::move(services));
        form = &program->mainform();
    }
    template <class T> T& get(const std::string& name) { return form->get<T>(name); }
    /// A press as the front end delivers it; true when the window-wide hook took it.
    bool press(const std::string& control, ui::MouseButton button,
               ui::Event e = ui::Event::MouseDown) {
        ui::EventArgs args;
        args.button = button;
        args.x = 5;
        args.y = 6;
        auto& target = *app.findControl(control);
        bool taken = false;
        auto hook = app.mousePressHook;
        app.mousePressHook = [&](ui::Control& c, ui::Event ev, const ui::EventArgs& a) {
            return taken = hook(c, ev, a);
        };
        app.dispatch([&] { app.deliver(target, e, args); });
        app.mousePressHook = hook;
        return taken;
    }

    ui::Application app{ui::EventLoop::ClockKind::Virtual};
    std::unique_ptr<app::Program> program;
    app::MainWindow* form = nullptr;
};

TEST_F(MainWindow, HasItsRegionsPagesMenusAndTimersAsDesigned) {
    EXPECT_EQ(form->caption(), " Zorvex - Video Browser v2.1");
    EXPECT_EQ(form->width(), 958);
    EXPECT_EQ(form->height(), 746);
    const std::vector<std::pair<std::string, ui::Bounds>> regions = {
        {"Panel6", {10, 54, 363, 300}}, {"Panel7", {374, 54, 352, 300}},
        {"Panel8", {4, 354, 720, 392}}, {"Panel9", {724, 50, 235, 692}},
        {"Panel4", {13, 5, 340, 245}},  {"Panel5", {0, 250, 363, 50}}};
    for (const auto& [name, bounds] : regions)
        EXPECT_EQ(form->find(name)->bounds(), bounds) << name;
    EXPECT_FALSE(get<ui::Panel>("Panel5").visible());
    EXPECT_FALSE(get<ui::Panel>("Panel10").visible());
    // The start page lies in front of the player.
    EXPECT_GT(get<ui::Panel>("Panel2").zIndex(), get<ui::Panel>("Panel4").zIndex());

    auto& pages = get<ui::PageControl>("suiPageControl1");
    const std::vector<std::string> captions = {
        "All Videos",      "My Web Browser", "Newest Videos", "Special Interest",
        "Latest Web News", "User Guide",     "Zorvex Support"};
    ASSERT_EQ(pages.pageCount(), 7);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(pages.page(i).caption(), captions[static_cast<std::size_t>(i)]);
    auto& side = get<ui::PageControl>("sidepage");
    EXPECT_EQ(side.page(0).caption(), "World");
    EXPECT_EQ(side.page(1).caption(), "Aus News");
    EXPECT_EQ(side.page(2).caption(), "Bookmarks");

    for (const char* family : {"featurepic", "specialpic"})
        for (int n = 1; n <= 8; ++n)
            EXPECT_NE(form->find(family + std::to_string(n)), nullptr);
    for (const char* family : {"videopic", "newspic", "musicpic"})
        for (int n = 1; n <= 16; ++n)
            EXPECT_EQ(form->find(family + std::to_string(n))->bounds().width, 97);
    EXPECT_EQ(get<ui::Image>("featurepic1").width(), 161);
    EXPECT_EQ(get<ui::Image>("specialpic1").width(), 160);
    EXPECT_EQ(get<ui::Button>("querybutton12").caption(), "querybutton12");
    EXPECT_EQ(get<ui::Button>("floatvideobutton").caption(), "        Float Mode");
    EXPECT_EQ(get<ui::Button>("floatvideobutton").hint(), "Float video around desktop");
    EXPECT_TRUE(get<ui::RadioButton>("mostrecentchecked").checked());
    EXPECT_EQ(get<ui::Label>("OnlineModeCaption").caption(), "Offline");

    EXPECT_EQ(get<ui::MenuItem>("PlayVideo1").caption(), "Play Video ");
    EXPECT_FALSE(get<ui::MenuItem>("Skins1").visible());
    EXPECT_EQ(form->popupMenu(), &get<ui::Menu>("videoquerypopup"));
    EXPECT_EQ(pages.popupMenu(), &get<ui::Menu>("videopopup"));

    const std::vector<std::tuple<std::string, int, bool>> timers = {{"Timer1", 500, false},
                                                                    {"Timer3", 10, false},
                                                                    {"Timer4", 100, true},
                                                                    {"threadtimer", 1000, false}};
    for (const auto& [name, interval, enabled] : timers) {
        EXPECT_EQ(get<ui::Timer>(name).interval(), interval) << name;
        EXPECT_EQ(get<ui::Timer>(name).enabled(), enabled) << name;
    }
    // The forms in the entry's order; names several forms share are told apart by form.
    std::vector<std::string> forms;
    for (const ui::Form* f : app.forms())
        forms.push_back(f->name());
    EXPECT_EQ(forms, (std::vector<std::string>{"mainform", "AboutBox", "SenderMainForm",
                                               "ReceiverMainForm", "bookmarkbox"}));
    EXPECT_EQ(app.findControl("bookmarkbox.Label2")->caption(),
              "Video already exsists in Bookmarks");
    EXPECT_EQ(app.findControl("AboutBox.Timer1"), &form->splash().get<ui::Timer>("Timer1"));
    EXPECT_EQ(app.findControl("Timer1"), &get<ui::Timer>("Timer1"));
    EXPECT_EQ(app.findControl("ReceiverMainForm.cdMemo")->caption(), "");
    // The splash dialog is the principal window and shows first.
    EXPECT_EQ(app.principal(), &form->splash());
    EXPECT_TRUE(form->splash().visible());
    EXPECT_FALSE(form->visible());
}

TEST_F(MainWindow, EveryShowResetsTheSearchBoxAndRepaintsOnce) {
    form->show();
    auto& box = get<ui::Edit>("sqlsearchedit");
    EXPECT_EQ(box.font().colour.hex(), "#C0C0C0");
    box.setText("typed");
    form->hide();
    form->show();
    EXPECT_EQ(box.text(), "Enter Search Request");
    EXPECT_EQ(box.font().height, 21);
    // Not online: every show applies the offline mode again.
    EXPECT_EQ(get<ui::PageControl>("suiPageControl1").activeIndex(), 6);
    auto& repaint = get<ui::Timer>("Timer1");
    EXPECT_TRUE(repaint.enabled());
    const int left = form->left();
    app.loop().advance(500);
    EXPECT_FALSE(repaint.enabled());
    EXPECT_EQ(form->left(), left);
}

TEST_F(MainWindow, MousePressRulesFollowTheWindowMode) {
    form->show();
    // Main screen: a right press on the player opens the player's menu; elsewhere
    // the press goes to the control.
    EXPECT_TRUE(press("ShockwaveFlash1", ui::MouseButton::Right));
    EXPECT_EQ(get<ui::Menu>("videoquerypopup").popupCount(), 1);
    EXPECT_FALSE(press("suiImageButton27", ui::MouseButton::Right));
    EXPECT_FALSE(press("ShockwaveFlash1", ui::MouseButton::Left));
    EXPECT_EQ(form->systemMoves(), 0);

    // Float mode: any right press opens the window-mode menu, and a left press
    // drags the window unless it is on the control bar.
    form->windowModes().setMode(app::WindowMode::Float);
    EXPECT_TRUE(press("titledis", ui::MouseButton::Right, ui::Event::DblClick));
    EXPECT_EQ(get<ui::Menu>("PopupMenu2").popupCount(), 1);
    EXPECT_EQ(get<ui::Menu>("videoquerypopup").popupCount(), 1);
    EXPECT_TRUE(press("ShockwaveFlash1", ui::MouseButton::Left));
    EXPECT_EQ(form->systemMoves(), 1);
    get<ui::Panel>("Panel5").show();
    EXPECT_FALSE(press("play", ui::MouseButton::Left));
    EXPECT_EQ(form->systemMoves(), 1);

    // Full screen: right presses still open the mode menu; left presses do not drag.
    form->windowModes().setMode(app::WindowMode::FullScreen);
    EXPECT_TRUE(press("ShockwaveFlash1", ui::MouseButton::Right));
    EXPECT_EQ(get<ui::Menu>("PopupMenu2").popupCount(), 2);
    EXPECT_FALSE(press("ShockwaveFlash1", ui::MouseButton::Left));
}

TEST_F(MainWindow, MouseEnterRestartsTheControlBarOnlyWhenBothCoordinatesMoved) {
    form->show();
    ui::EventArgs at;
    at.x = 300;
    at.y = 200;
    app.dispatch([&] { app.deliver(*form, ui::Event::MouseEnter, at); });
    EXPECT_FALSE(get<ui::Timer>("Timer3").enabled()); // main screen: nothing

    form->windowModes().setMode(app::WindowMode::Float);
    app.dispatch([&] { app.deliver(*form, ui::Event::MouseEnter, at); });
    EXPECT_TRUE(get<ui::Timer>("Timer3").enabled());
    EXPECT_EQ(app.state().get("controlBarStep"), 1);
    get<ui::Timer>("Timer3").setEnabled(false);
    at.x = 301; // same y
    app.dispatch([&] { app.deliver(*form, ui::Event::MouseEnter, at); });
    EXPECT_FALSE(get<ui::Timer>("Timer3").enabled());
    at.y = 201;
    app.dispatch([&] { app.deliver(*form, ui::Event::MouseEnter, at); });
    EXPECT_TRUE(get<ui::Timer>("Timer3").enabled());
    EXPECT_EQ(app.state().get("lastCursor"), (nlohmann::json{{"x", 301}, {"y", 201}}));

    get<ui::Timer>("Timer3").setEnabled(false);
    app.dispatch([&] { app.deliver(*form, ui::Event::Activate, at); });
    EXPECT_TRUE(get<ui::Timer>("Timer3").enabled());
}

TEST_F(MainWindow, AMissingPlaceholderPictureIsReportedAndTheWindowStillComes) {
    // The test runs in a directory without noimage.jpg (and without the movie file,
    // reported before it).
    ASSERT_EQ(app.dialogs().log().size(), 2u);
    EXPECT_NE(app.dialogs().log()[1].text.find("noimage.jpg"), std::string::npos);
}

TEST_F(MainWindow, AMissingPlayerMovieIsReportedAndTheWindowStillComes) {
    // The test runs in a directory without fl8b.swf.
    ASSERT_FALSE(app.dialogs().log().empty());
    EXPECT_EQ(app.dialogs().log()[0].text,
              "Cannot load the player movie ./fl8b.swf into layer 1: the file cannot be read.");
    EXPECT_EQ(app.dialogs().log()[0].type, ui::DialogRecord::Type::Error);
}

} // namespace
