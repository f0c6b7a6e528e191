#include <gtest/gtest.h>

#include <stdexcept>

#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Menu.h"
#include "ui/PageControl.h"
#include "ui/StringGrid.h"
#include "ui/TreeView.h"
#include "ui/WebView.h"
#include "ui/Widgets.h"

namespace {

struct ControlFixture : ::testing::Test {
    ui::Application app{ui::EventLoop::ClockKind::Virtual};
    ui::Form form{app, "form"};
    ControlFixture() { form.show(); }

    bool deliver(ui::Control& c, ui::Event e, ui::EventArgs args = {}) {
        bool applied = false;
        app.dispatch([&] { applied = c.deliver(e, args); });
        return applied;
    }
};

TEST_F(ControlFixture, RegistryFindsControlsByNameAndRefusesDuplicates) {
    auto& panel = form.add<ui::Panel>("Panel6");
    auto& label = panel.add<ui::Label>("titledis");
    EXPECT_EQ(form.find("titledis"), &label);
    EXPECT_EQ(app.findControl("Panel6"), &panel);
    EXPECT_EQ(&form.get<ui::Label>("titledis"), &label);
    EXPECT_THROW(form.get<ui::Panel>("titledis"), std::out_of_range);
    EXPECT_THROW(panel.add<ui::Label>("titledis"), std::logic_error);
    EXPECT_EQ(form.controls().size(), 3u);
}

TEST_F(ControlFixture, DestroyedFormsAndControlsLeaveTheRegistries) {
    {
        ui::Form other(app, "other");
        other.add<ui::Panel>("loose");
        EXPECT_NE(app.findControl("loose"), nullptr);
    }
    EXPECT_EQ(app.findControl("loose"), nullptr);
    EXPECT_EQ(app.findForm("other"), nullptr);
}

TEST_F(ControlFixture, ZOrderAndRevisionsFollowChanges) {
    auto& a = form.add<ui::Panel>("a");
    auto& b = form.add<ui::Panel>("b");
    EXPECT_LT(a.zIndex(), b.zIndex());
    a.bringToFront();
    EXPECT_GT(a.zIndex(), b.zIndex());
    a.sendToBack();
    EXPECT_EQ(a.zIndex(), 0);

    const auto before = b.revision();
    b.setCaption("x");
    EXPECT_GT(b.revision(), before);
    const auto after = b.revision();
    b.setCaption("x"); // no change, no repaint
    b.setBounds(b.bounds());
    EXPECT_EQ(b.revision(), after);
    b.setFontColour(ui::colours::silver);
    EXPECT_GT(b.revision(), after);
    EXPECT_EQ(b.font().colour.hex(), "#C0C0C0");
}

TEST_F(ControlFixture, HiddenOrDisabledControlsTakeNoInput) {
    auto& panel = form.add<ui::Panel>("panel");
    auto& button = panel.add<ui::Button>("button");
    int clicks = 0;
    button.onClick = [&] { ++clicks; };
    EXPECT_TRUE(deliver(button, ui::Event::Click));
    button.setEnabled(false);
    deliver(button, ui::Event::Click);
    button.setEnabled(true);
    panel.hide();
    deliver(button, ui::Event::Click);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(deliver(button, ui::Event::TabActive));
    EXPECT_FALSE(button.takes(ui::Event::TabActive));
}

TEST_F(ControlFixture, HandlerErrorsBecomeTheStandardErrorMessage) {
    auto& button = form.add<ui::Button>("button");
    button.onClick = [] { throw std::runtime_error("Dataset server could not connect"); };
    EXPECT_TRUE(button.takes(ui::Event::Click));
    deliver(button, ui::Event::Click);
    ASSERT_EQ(app.dialogs().log().size(), 1u);
    EXPECT_EQ(app.dialogs().log()[0].text, "Dataset server could not connect");
}

TEST_F(ControlFixture, RadioButtonsInOneParentAreExclusive) {
    auto& recent = form.add<ui::RadioButton>("mostrecentchecked");
    auto& popular = form.add<ui::RadioButton>("mostpopularchecked");
    recent.setChecked(true);
    int clicks = 0;
    popular.onClick = [&] { clicks += popular.checked() ? 1 : 100; };
    deliver(popular, ui::Event::Click);
    EXPECT_TRUE(popular.checked());
    EXPECT_FALSE(recent.checked());
    EXPECT_EQ(clicks, 1); // checked before the handler runs
}

TEST_F(ControlFixture, PageControlSwitchesBeforeTabActiveAndRefusesUnknownPages) {
    auto& pages = form.add<ui::PageControl>("pages");
    pages.setBounds(0, 0, 200, 100);
    pages.addPage("s0", "All Videos");
    pages.addPage("s1", "Newest Videos");
    EXPECT_EQ(pages.activeIndex(), 0);
    EXPECT_FALSE(pages.page(1).visible());
    int seen = -1;
    pages.onTabActive = [&](int i) { seen = pages.activeIndex() * 10 + i; };
    ui::EventArgs args;
    args.index = 1;
    deliver(pages, ui::Event::TabActive, args);
    EXPECT_EQ(seen, 11);
    EXPECT_TRUE(pages.page(1).visible());
    EXPECT_FALSE(pages.page(0).visible());
    args.index = 7;
    deliver(pages, ui::Event::TabActive, args);
    EXPECT_EQ(app.dialogs().log().size(), 1u);
    EXPECT_EQ(pages.activeIndex(), 1);
}

TEST_F(ControlFixture, TreeKeepsAbsoluteIndexOrderWhenChildrenArriveLate) {
    auto& tree = form.add<ui::TreeView>("CatList");
    const int news = tree.addNode(-1, "News", 2, 2);
    const int sport = tree.addNode(-1, "Sport", 2, 2);
    EXPECT_EQ(sport, 1);
    const int world = tree.addNode(news, "World", 3, 3);
    EXPECT_EQ(world, 1); // under News, before Sport
    EXPECT_EQ(tree.node(2).text, "Sport");
    EXPECT_EQ(tree.addNode(news, "Local"), 2);
    EXPECT_EQ(tree.node(2).parent, 0);
    EXPECT_EQ(tree.addNode(sport + 2, "Cricket"), 4);
    EXPECT_EQ(tree.node(4).parent, 3);
    EXPECT_EQ(tree.node(4).level, 1);
    EXPECT_THROW(tree.addNode(99, "x"), std::out_of_range);
    EXPECT_THROW(tree.setSelected(5), std::out_of_range);
}

TEST_F(ControlFixture, GridIgnoresCellsOutsideItAndHandlerCanRefuseSelection) {
    auto& grid = form.add<ui::StringGrid>("stringgrid");
    grid.setSize(3, 4);
    grid.setCell(1, 1, "a");
    grid.setCell(9, 9, "ignored");
    EXPECT_EQ(grid.cell(9, 9), "");
    grid.setSize(4, 5);
    EXPECT_EQ(grid.cell(1, 1), "a");
    grid.onSelectCell = [](int, int row, bool& can) { can = row != 3; };
    ui::EventArgs args;
    args.col = 2;
    args.row = 2;
    deliver(grid, ui::Event::SelectCell, args);
    EXPECT_EQ(grid.selectedRow(), 2);
    args.row = 3;
    deliver(grid, ui::Event::SelectCell, args);
    EXPECT_EQ(grid.selectedRow(), 2);
}

TEST_F(ControlFixture, MenuItemsRunOnlyWhileVisibleAndEnabled) {
    auto& menu = form.add<ui::Menu>("suiMainMenu1", ui::Menu::Style::Main);
    auto& file = menu.addItem("File1", "File");
    auto& online = file.addItem("ZorvexOnline", "Zorvex: Online");
    int runs = 0;
    online.onClick = [&] { ++runs; };
    deliver(online, ui::Event::Click);
    file.setVisible(false);
    deliver(online, ui::Event::Click);
    EXPECT_EQ(runs, 1);
}

TEST_F(ControlFixture, WebViewHistoryDropsForwardPagesOnNewNavigation) {
    auto& web = form.add<ui::WebView>("MozillaBrowser1");
    web.navigate("http://a/");
    web.navigate("http://b/");
    web.back();
    EXPECT_EQ(web.url(), "http://a/");
    web.navigate("http://c/");
    web.forward();
    EXPECT_EQ(web.url(), "http://c/");
    EXPECT_EQ(web.history(), (std::vector<std::string>{"http://a/", "http://c/"}));
}

TEST_F(ControlFixture, ClosingThePrincipalFormEndsTheProgram) {
    int closes = 0;
    form.onClose = [&] { ++closes; };
    ui::Form other(app, "other");
    other.show();
    other.close();
    EXPECT_FALSE(app.terminated());
    app.setPrincipal(&form);
    ui::EventArgs args;
    form.deliver(ui::Event::Close, args);
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(app.terminated());
    EXPECT_FALSE(form.visible());
}

TEST_F(ControlFixture, EveryShowOfAFormRunsOnShow) {
    ui::Form other(app, "other");
    int shows = 0;
    other.onShow = [&] { ++shows; };
    other.show();
    other.show();
    other.hide();
    other.show();
    EXPECT_EQ(shows, 2);
}

} // namespace
