#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "TestWindow.h"
#include "automation/Channel.h"
#include "automation/HeadlessDriver.h"
#include "support/TempDir.h"

namespace {

using automationtest::Client;
using automationtest::TestWindow;
using nlohmann::json;

template <class... A> json cmd(A&&... args) {
    return json::array({json(std::forward<A>(args))...});
}

struct ChannelTest : ::testing::Test {
    TestWindow w;
    automation::Channel channel{w.app};
    Client client{channel};
};

TEST_F(ChannelTest, GetReportsTheCommonProperties) {
    const json label = client.ok(cmd("get", "Label1"));
    EXPECT_EQ(label["name"], "Label1");
    EXPECT_EQ(label["kind"], "Label");
    EXPECT_EQ(label["visible"], true);
    EXPECT_EQ(label["enabled"], true);
    EXPECT_EQ(label["left"], 10);
    EXPECT_EQ(label["top"], 20);
    EXPECT_EQ(label["width"], 120);
    EXPECT_EQ(label["height"], 16);
    EXPECT_EQ(label["caption"], "Newest Videos");
    EXPECT_EQ(label["hint"], "the newest items");
    EXPECT_EQ(label["fontColor"], "#12ABEF");
    EXPECT_EQ(label["fontHeight"], 13);
    EXPECT_EQ(label["cursor"], "HandPoint");
    EXPECT_TRUE(label["picture"].is_null());
    EXPECT_EQ(label["parent"], "Panel1");
    EXPECT_EQ(label["form"], "mainform");

    // An edit reports what was typed as text, not as a caption.
    w.edit->setText("surf");
    const json edit = client.ok(cmd("get", "Edit1"));
    EXPECT_EQ(edit["text"], "surf");
    EXPECT_FALSE(edit.contains("caption"));

    const json hidden = client.ok(cmd("get", "HiddenButton"));
    EXPECT_EQ(hidden["visible"], false);
    EXPECT_EQ(hidden["showing"], false);
}

TEST_F(ChannelTest, GetReportsWhatEachKindAdds) {
    w.track->setPosition(4);
    const json track = client.ok(cmd("get", "TrackBar1"));
    EXPECT_EQ(track["position"], 4);
    EXPECT_EQ(track["min"], 0);
    EXPECT_EQ(track["max"], 10);

    EXPECT_EQ(client.ok(cmd("get", "Radio1"))["checked"], true);
    EXPECT_EQ(client.ok(cmd("get", "Radio2"))["checked"], false);

    const json pages = client.ok(cmd("get", "Pages"));
    EXPECT_EQ(pages["active"], 0);
    EXPECT_EQ(pages["tabs"], json::parse(R"([{"name":"Sheet1","caption":"Videos","visible":true},
                                              {"name":"Sheet2","caption":"Bookmarks","visible":false}])"));

    EXPECT_EQ(client.ok(cmd("get", "Grid"))["cells"],
              json::parse(R"([["Title","Feed"],["Surfing",""],["",""]])"));

    const json tree = client.ok(cmd("get", "Tree"));
    EXPECT_EQ(tree["selected"], -1);
    ASSERT_EQ(tree["nodes"].size(), 3u);
    EXPECT_EQ(tree["nodes"][1]["text"], "Surfing");
    EXPECT_EQ(tree["nodes"][1]["imageIndex"], 2);
    EXPECT_EQ(tree["nodes"][1]["level"], 1);
    EXPECT_EQ(tree["nodes"][1]["parent"], 0);
    EXPECT_EQ(tree["nodes"][2]["parent"], -1);

    const json menu = client.ok(cmd("get", "PopupMenu1"));
    ASSERT_EQ(menu["items"].size(), 2u);
    EXPECT_EQ(menu["items"][0]["name"], "ZorvexOnline");
    EXPECT_EQ(menu["items"][0]["caption"], "Zorvex Online");
    EXPECT_EQ(menu["items"][1]["name"], "SearchGoogle1");

    const json web = client.ok(cmd("get", "Web1"));
    EXPECT_EQ(web["url"], "http://example.test/start");
    EXPECT_EQ(web["history"], json::array({"http://example.test/start"}));
    EXPECT_TRUE(web["busy"].is_boolean());

    EXPECT_EQ(client.ok(cmd("get", "Memo1"))["lines"], json::array({"first", "second"}));
    EXPECT_EQ(client.ok(cmd("get", "Timer1"))["interval"], 100);
    EXPECT_EQ(client.ok(cmd("get", "mainform"))["principal"], true);
    EXPECT_EQ(client.ok(cmd("get", "otherform"))["principal"], false);

    testsupport::TempDir dir("zorvex-automation");
    const std::string file = dir.write("thumb.jpg", automationtest::tinyJpeg(8, 6));
    w.image->loadFromFile(file);
    const json image = client.ok(cmd("get", "featurepic1"));
    EXPECT_EQ(image["picture"], (json{{"source", file}, {"width", 8}, {"height", 6}}));
}

TEST_F(ChannelTest, RepliesStayValidJsonWhenTextsAreNotUtf8) {
    // Catalogue texts can arrive in an 8-bit encoding.
    w.label->setCaption("caf\xE9");
    const json label = client.ok(cmd("get", "Label1"));
    EXPECT_TRUE(label["caption"].is_string());
}

TEST_F(ChannelTest, SetChangesWhatAUserCanSetWithoutRunningHandlers) {
    client.ok(cmd("set", "Edit1", "text", "surfing"));
    EXPECT_EQ(w.edit->text(), "surfing");
    EXPECT_FALSE(w.editChanged);

    client.ok(cmd("set", "Radio2", "checked", true));
    EXPECT_TRUE(w.radio2->checked());
    EXPECT_FALSE(w.radio1->checked());

    client.ok(cmd("set", "TrackBar1", "position", 7));
    EXPECT_EQ(w.track->position(), 7);
    client.ok(cmd("set", "TrackBar1", "position", 50)); // a drag past the end stops there
    EXPECT_EQ(w.track->position(), 10);

    client.ok(cmd("set", "Tree", "selected", 1));
    EXPECT_EQ(w.tree->selected(), 1);
    client.ok(cmd("set", "Tree", "selected", -1));
    EXPECT_EQ(w.tree->selected(), -1);

    client.ok(cmd("set", "Grid", "cell", json{{"col", 1}, {"row", 2}, {"text", "News"}}));
    EXPECT_EQ(w.grid->cell(1, 2), "News");

    client.ok(cmd("set", "Memo1", "text", "one\ntwo\nthree"));
    EXPECT_EQ(w.memo->lines().size(), 3u);

    client.ok(cmd("set", "Label1", "caption", "Special Interest"));
    EXPECT_EQ(client.ok(cmd("get", "Label1"))["caption"], "Special Interest");
    EXPECT_TRUE(w.log.empty());
}

TEST_F(ChannelTest, SetRefusesWhatCannotBeSet) {
    EXPECT_NE(client.error(cmd("set", "Label1", "visible", false)).find("visible"),
              std::string::npos);
    EXPECT_NE(client.error(cmd("set", "Edit1", "checked", true)).find("checked"),
              std::string::npos);
    EXPECT_NE(client.error(cmd("set", "Label1", "position", 3)).find("position"),
              std::string::npos);
    client.error(cmd("set", "TrackBar1", "position", "7"));
    client.error(cmd("set", "TrackBar1", "position", 2.5));
    client.error(cmd("set", "Radio2", "checked", 1));
    client.error(cmd("set", "Edit1", "text", 12));
    client.error(cmd("set", "Tree", "selected", 3));
    client.error(cmd("set", "Grid", "cell", json{{"col", 5}, {"row", 0}, {"text", "x"}}));
    client.error(cmd("set", "Grid", "cell", "x"));
    client.error(cmd("set", "Edit1", "text"));
    EXPECT_NE(client.error(cmd("set", "Nowhere", "text", "x")).find("Nowhere"), std::string::npos);
    // Nothing changed on the way.
    EXPECT_EQ(w.track->position(), 0);
    EXPECT_TRUE(w.radio1->checked());
    EXPECT_EQ(w.tree->selected(), -1);
    EXPECT_TRUE(w.label->visible());
}

TEST_F(ChannelTest, EventRunsTheHandlerAndWhatItPostsBeforeReplying) {
    EXPECT_TRUE(client.ok(cmd("event", "Button1", "Click")).is_null());
    EXPECT_EQ(w.clicks, 1);
    EXPECT_TRUE(w.postedRan);
    EXPECT_EQ(client.ok(cmd("state", "clicks")), 1);

    client.ok(cmd("event", "Label1", "MouseMove", json{{"x", 3}, {"y", 4}}));
    client.ok(cmd("event", "Label1", "MouseDown", json{{"button", "right"}, {"x", 5}, {"y", 6}}));
    w.pages->page(1).setTabVisible(true);
    client.ok(cmd("event", "Pages", "TabActive", json{{"index", 1}}));
    EXPECT_EQ(w.pages->activeIndex(), 1);
    client.ok(cmd("event", "Grid", "SelectCell", json{{"col", 1}, {"row", 1}}));
    client.ok(
        cmd("event", "Grid", "SelectCell", json{{"col", 0}, {"row", 2}})); // refused by the handler
    EXPECT_EQ(w.grid->selectedRow(), 1);
    client.ok(cmd("event", "OtherButton", "Click"));
    EXPECT_EQ(w.log, (std::vector<std::string>{"move 3,4", "down right 5,6", "tab 1", "cell 1,1",
                                               "cell 0,2", "other"}));

    // The key handler's verdict comes back.
    EXPECT_EQ(client.ok(cmd("event", "Edit1", "KeyPress", json{{"key", "a"}}))["key"], "a");
    EXPECT_EQ(client.ok(cmd("event", "Edit1", "KeyPress", json{{"key", "7"}}))["key"], "");

    // A radio click checks it before its handler would run.
    client.ok(cmd("event", "Radio2", "Click"));
    EXPECT_TRUE(w.radio2->checked());
}

TEST_F(ChannelTest, EventsAUserCouldNotGiveAreRefusedNamingTheControlAndWhy) {
    // Hidden, and inside a hidden parent.
    EXPECT_EQ(client.error(cmd("event", "HiddenButton", "Click")),
              "event: Button 'HiddenButton' is not showing");
    w.main.find("Panel1")->hide();
    EXPECT_EQ(client.error(cmd("event", "Label1", "MouseMove", json{{"x", 1}, {"y", 2}})),
              "event: Label 'Label1' is not showing");
    w.main.find("Panel1")->show();

    // Disabled; hidden comes first when it is both.
    w.main.find("Button1")->setEnabled(false);
    EXPECT_EQ(client.error(cmd("event", "Button1", "Click")),
              "event: Button 'Button1' is disabled");
    w.main.find("Button1")->hide();
    EXPECT_EQ(client.error(cmd("event", "Button1", "Click")),
              "event: Button 'Button1' is not showing");
    w.grid->setEnabled(false);
    EXPECT_EQ(client.error(cmd("event", "Grid", "SelectCell", json{{"col", 0}, {"row", 1}})),
              "event: StringGrid 'Grid' is disabled");

    // On a sheet that is not the active one, and a tab that is not shown.
    auto& onSheet = w.pages->page(1).add<ui::Button>("SheetButton");
    onSheet.onClick = [this] { w.log.push_back("sheet"); };
    EXPECT_EQ(client.error(cmd("event", "SheetButton", "Click")),
              "event: Button 'SheetButton' is not showing");
    EXPECT_EQ(client.error(cmd("event", "Pages", "TabActive", json{{"index", 1}})),
              "event: tab 1 of PageControl 'Pages' is not showing");
    EXPECT_EQ(w.pages->activeIndex(), 0);
    w.pages->page(1).setTabVisible(true);
    client.ok(cmd("event", "Pages", "TabActive", json{{"index", 1}}));
    client.ok(cmd("event", "SheetButton", "Click"));

    // A hidden window takes no input, but showing and closing it are its own doing.
    w.other.hide();
    EXPECT_EQ(client.error(cmd("event", "OtherButton", "Click")),
              "event: Button 'OtherButton' is not showing");
    EXPECT_EQ(client.error(cmd("event", "otherform", "Activate")),
              "event: Form 'otherform' is not showing");
    bool otherClosed = false;
    w.other.onClose = [&] { otherClosed = true; };
    client.ok(cmd("event", "otherform", "Close"));
    EXPECT_TRUE(otherClosed);
    client.ok(cmd("event", "otherform", "Show"));
    EXPECT_TRUE(w.other.visible());
    client.ok(cmd("event", "OtherButton", "Click"));

    EXPECT_EQ(w.clicks, 0);
    EXPECT_EQ(w.log, (std::vector<std::string>{"tab 1", "sheet", "other"}));
    EXPECT_TRUE(w.app.dialogs().log().empty());
}

TEST_F(ChannelTest, HandlersStillClickHiddenControlsThemselves) {
    // As the program does with its hidden "Next Page" button.
    auto& next = w.main.add<ui::Button>("NextPage");
    next.onClick = [this] { w.app.findControl("HiddenButton")->onClick(); };
    client.error(cmd("event", "HiddenButton", "Click"));
    EXPECT_EQ(w.clicks, 0);
    client.ok(cmd("event", "NextPage", "Click"));
    EXPECT_EQ(w.clicks, 1);
}

TEST_F(ChannelTest, EventRefusesBadRequestsNamingWhatIsWrong) {
    EXPECT_NE(client.error(cmd("event", "NoSuchControl", "Click")).find("NoSuchControl"),
              std::string::npos);
    EXPECT_NE(client.error(cmd("event", "Button1", "Explode")).find("Explode"), std::string::npos);
    const std::string notTaken = client.error(cmd("event", "Label1", "Pop"));
    EXPECT_NE(notTaken.find("Pop"), std::string::npos);
    EXPECT_NE(notTaken.find("Label1"), std::string::npos);
    EXPECT_NE(client.error(cmd("event", "Pages", "TabActive", json{{"index", 5}})).find("5"),
              std::string::npos);
    EXPECT_NE(
        client.error(cmd("event", "Label1", "MouseDown", json{{"button", "side"}})).find("side"),
        std::string::npos);
    EXPECT_NE(client.error(cmd("event", "Label1", "MouseMove", json{{"z", 1}})).find("z"),
              std::string::npos);
    client.error(cmd("event", "Label1", "MouseMove", json{{"x", "3"}}));
    client.error(cmd("event", "Label1", "MouseMove", json{{"x", 1e12}}));
    client.error(cmd("event", "Label1", "MouseMove", "x=3"));
    client.error(cmd("event", "Button1"));
    client.error(cmd("event", 7, "Click"));
    client.error(cmd("event", "Button1", "Click", json::object(), "extra"));
    EXPECT_EQ(w.clicks, 0);
    EXPECT_EQ(w.pages->activeIndex(), 0);
    EXPECT_TRUE(w.log.empty());
    EXPECT_TRUE(w.app.dialogs().log().empty());
}

TEST_F(ChannelTest, EventArgumentsAreRequiredAndTypedNeverDefaulted) {
    w.pages->page(1).setTabVisible(true);
    const int selectedRow = w.grid->selectedRow();

    // Without an index, TabActive does not mean page 0.
    EXPECT_EQ(client.error(cmd("event", "Pages", "TabActive")),
              "event: TabActive needs the argument 'index'");
    EXPECT_EQ(client.error(cmd("event", "Pages", "TabActive", json::object())),
              "event: TabActive needs the argument 'index'");
    EXPECT_EQ(client.error(cmd("event", "Pages", "TabActive", json{{"index", "1"}})),
              "event ARGS: index must be an integer from -2147483648 to 2147483647");
    client.error(cmd("event", "Pages", "TabActive", json{{"index", 1.0}}));
    client.error(cmd("event", "Pages", "TabActive", json{{"index", nullptr}}));

    EXPECT_EQ(client.error(cmd("event", "Grid", "SelectCell")),
              "event: SelectCell needs the arguments 'col' and 'row'");
    EXPECT_EQ(client.error(cmd("event", "Grid", "SelectCell", json{{"col", 1}})),
              "event: SelectCell needs the argument 'row'");
    EXPECT_EQ(client.error(cmd("event", "Grid", "SelectCell", json{{"col", 1}, {"row", true}})),
              "event ARGS: row must be an integer from -2147483648 to 2147483647");

    EXPECT_EQ(client.error(cmd("event", "Label1", "MouseDown", json{{"x", 5}, {"y", 6}})),
              "event: MouseDown needs the argument 'button'");
    EXPECT_EQ(client.error(cmd("event", "Label1", "MouseDown")),
              "event: MouseDown needs the arguments 'button', 'x' and 'y'");
    EXPECT_EQ(
        client.error(cmd("event", "Label1", "MouseUp", json{{"button", 1}, {"x", 5}, {"y", 6}})),
        "event ARGS: button must be a string");
    EXPECT_EQ(client.error(cmd("event", "Label1", "MouseMove", json{{"x", 3}})),
              "event: MouseMove needs the argument 'y'");

    EXPECT_EQ(client.error(cmd("event", "Edit1", "KeyPress")),
              "event: KeyPress needs the argument 'key'");
    EXPECT_EQ(client.error(cmd("event", "Edit1", "KeyPress", json{{"key", 97}})),
              "event ARGS: key must be a string");
    EXPECT_EQ(client.error(cmd("event", "Edit1", "KeyPress", json{{"key", ""}})),
              "event ARGS: key must be one character");
    EXPECT_EQ(client.error(cmd("event", "Edit1", "KeyPress", json{{"key", "ab"}})),
              "event ARGS: key must be one character");

    // A form learns where the pointer came in; other controls take no position.
    EXPECT_EQ(client.error(cmd("event", "mainform", "MouseEnter")),
              "event: MouseEnter needs the arguments 'x' and 'y'");
    EXPECT_EQ(client.error(cmd("event", "Label1", "MouseEnter", json{{"x", 1}, {"y", 2}})),
              "event: MouseEnter takes no argument 'x'");
    // An argument the event does not carry is not dropped quietly either.
    EXPECT_EQ(client.error(cmd("event", "Button1", "Click", json{{"index", 1}})),
              "event: Click takes no argument 'index'");
    EXPECT_EQ(client.error(cmd("event", "Grid", "SelectCell",
                               json{{"col", 1}, {"row", 1}, {"button", "left"}})),
              "event: SelectCell takes no argument 'button'");

    // Nothing was delivered on the way.
    EXPECT_EQ(w.pages->activeIndex(), 0);
    EXPECT_EQ(w.grid->selectedRow(), selectedRow);
    EXPECT_EQ(w.clicks, 0);
    EXPECT_TRUE(w.log.empty());
    EXPECT_TRUE(w.app.dialogs().log().empty());

    // Given in full, each is delivered.
    client.ok(cmd("event", "mainform", "MouseEnter", json{{"x", 100}, {"y", 200}}));
    client.ok(cmd("event", "Label1", "MouseEnter"));
    client.ok(cmd("event", "Label1", "MouseEnter", json::object()));
    EXPECT_EQ(client.ok(cmd("event", "Edit1", "KeyPress", json{{"key", "\xC3\xA9"}}))["key"],
              "\xC3\xA9");
    client.ok(cmd("event", "Pages", "TabActive", json{{"index", 1}}));
    EXPECT_EQ(w.pages->activeIndex(), 1);
}

TEST_F(ChannelTest, AHandlerErrorIsShownAsTheStandardMessageAndTheReplyIsSuccess) {
    client.ok(cmd("event", "ThrowButton", "Click"));
    const json dialogs = client.ok(cmd("dialogs"));
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0]["type"], "error");
    EXPECT_EQ(dialogs[0]["text"], "Lost connection to server");
    EXPECT_EQ(dialogs[0]["title"], "Zorvex");
    // The channel carries on.
    client.ok(cmd("event", "Button1", "Click"));
    EXPECT_EQ(w.clicks, 1);
}

TEST_F(ChannelTest, MenuClicksAnItemByNameOnAnyForm) {
    client.ok(cmd("menu", "SearchGoogle1"));
    client.ok(cmd("menu", "ReceiverItem"));
    EXPECT_EQ(w.log, (std::vector<std::string>{"menu search", "menu receiver"}));

    EXPECT_NE(client.error(cmd("menu", "NoSuchItem")).find("NoSuchItem"), std::string::npos);
    // A control that is not a menu item is not clicked through the menu command.
    EXPECT_NE(client.error(cmd("menu", "Button1")).find("Button1"), std::string::npos);
    client.error(cmd("menu", 3));
    client.error(cmd("menu"));
    EXPECT_EQ(w.clicks, 0);
}

TEST_F(ChannelTest, MenuRefusesItemsAUserCouldNotClick) {
    auto& search = *w.main.find("SearchGoogle1");
    search.setEnabled(false);
    EXPECT_EQ(client.error(cmd("menu", "SearchGoogle1")),
              "menu: MenuItem 'SearchGoogle1' is disabled");
    search.hide();
    EXPECT_EQ(client.error(cmd("menu", "SearchGoogle1")),
              "menu: MenuItem 'SearchGoogle1' is not showing");
    EXPECT_EQ(client.error(cmd("event", "SearchGoogle1", "Click")),
              "event: MenuItem 'SearchGoogle1' is not showing");

    // An item under a hidden or disabled item is out of reach with it.
    auto& parent = static_cast<ui::MenuItem&>(*w.main.find("ZorvexOnline"));
    parent.addItem("OnlineHelp", "Help").onClick = [this] { w.log.push_back("help"); };
    client.ok(cmd("menu", "OnlineHelp"));
    parent.setEnabled(false);
    EXPECT_EQ(client.error(cmd("menu", "OnlineHelp")), "menu: MenuItem 'OnlineHelp' is disabled");
    parent.hide();
    EXPECT_EQ(client.error(cmd("menu", "OnlineHelp")),
              "menu: MenuItem 'OnlineHelp' is not showing");
    EXPECT_EQ(w.log, (std::vector<std::string>{"help"}));
}

TEST_F(ChannelTest, StateReadsRegisteredVariables) {
    EXPECT_EQ(client.ok(cmd("state", "currentItem")),
              (json{{"title", "Surfing"}, {"recnum", "42"}}));
    EXPECT_EQ(client.ok(cmd("state", "clicks")), 0);
    EXPECT_NE(client.error(cmd("state", "noSuchVariable")).find("noSuchVariable"),
              std::string::npos);
    client.error(cmd("state", json::array()));
}

TEST_F(ChannelTest, AdvanceFiresDueTimersInOrder) {
    client.ok(cmd("advance", 300));
    EXPECT_EQ(w.log,
              (std::vector<std::string>{"Timer1 100", "Timer1 200", "Timer2 250", "Timer1 300"}));
    w.log.clear();
    client.ok(cmd("advance", 0));
    EXPECT_TRUE(w.log.empty());
    client.ok(cmd("advance", 99));
    EXPECT_TRUE(w.log.empty());
    client.ok(cmd("advance", 1));
    EXPECT_EQ(w.log, (std::vector<std::string>{"Timer1 400"}));

    client.error(cmd("advance", -5));
    client.error(cmd("advance", "100"));
    client.error(cmd("advance", 1.5));
    client.error(cmd("advance"));
    EXPECT_EQ(w.log.size(), 1u);
}

TEST_F(ChannelTest, AdvanceBeyondADayIsRefusedWithoutMovingTheClock) {
    // A move that would run a 100 ms timer ten thousand million times is refused
    // at once, naming the limit, and nothing fires.
    const std::string refused = client.error(cmd("advance", 1'000'000'000'000));
    EXPECT_NE(refused.find("MS"), std::string::npos) << refused;
    EXPECT_NE(refused.find("86400000"), std::string::npos) << refused;
    client.error(cmd("advance", automation::Channel::kMaxAdvanceMs + 1));
    client.error(cmd("advance", json(std::numeric_limits<std::uint64_t>::max())));
    EXPECT_TRUE(w.log.empty());
    EXPECT_EQ(w.app.loop().now(), 0);

    // A day is the most one request moves; the next request moves on from there.
    static_cast<ui::Timer*>(w.app.findControl("Timer1"))->setEnabled(false);
    static_cast<ui::Timer*>(w.app.findControl("Timer2"))->setEnabled(false);
    auto& hourly = w.main.add<ui::Timer>("Hourly", 3'600'000);
    int hours = 0;
    hourly.onTimer = [&hours] { ++hours; };
    EXPECT_EQ(client.ok(cmd("advance", automation::Channel::kMaxAdvanceMs)), 86'400'000);
    EXPECT_EQ(hours, 24);
    EXPECT_EQ(client.ok(cmd("advance", 3'600'000)), 90'000'000);
    EXPECT_EQ(hours, 25);
}

TEST(ChannelRealClock, AdvanceIsRefusedOnTheRealClock) {
    TestWindow w(ui::EventLoop::ClockKind::Real);
    automation::Channel channel(w.app);
    Client client(channel);
    EXPECT_NE(client.error(cmd("advance", 100)).find("clock"), std::string::npos);
    EXPECT_TRUE(w.log.empty());
}

TEST_F(ChannelTest, QueuedAnswersAndFilesGoToTheNextDialogs) {
    client.ok(cmd("answer", "Work Offline"));
    client.ok(cmd("choose-file", "/media/clip.wmv"));
    client.ok(cmd("event", "AskButton", "Click"));
    client.ok(cmd("event", "OpenButton", "Click"));
    EXPECT_EQ(w.answer, "Work Offline");
    EXPECT_EQ(w.chosenFile, "/media/clip.wmv");

    // Nothing queued: the first button, and a cancelled file dialog.
    client.ok(cmd("choose-file", ""));
    client.ok(cmd("event", "AskButton", "Click"));
    client.ok(cmd("event", "OpenButton", "Click"));
    EXPECT_EQ(w.answer, "Work Online");
    EXPECT_EQ(w.chosenFile, "");

    const json dialogs = client.ok(cmd("dialogs"));
    ASSERT_EQ(dialogs.size(), 4u);
    EXPECT_EQ(dialogs[0], (json{{"type", "question"},
                                {"title", "Zorvex"},
                                {"text", "The checks failed."},
                                {"buttons", {"Work Online", "Work Offline"}},
                                {"answer", "Work Offline"}}));
    EXPECT_EQ(dialogs[1]["type"], "file");
    EXPECT_EQ(dialogs[1]["answer"], "/media/clip.wmv");
    EXPECT_EQ(dialogs[2]["answer"], "Work Online");
    EXPECT_EQ(dialogs[3]["answer"], "");

    client.error(cmd("answer", 1));
    client.error(cmd("choose-file"));
    client.error(cmd("dialogs", "all"));
}

TEST_F(ChannelTest, ControlsListsEveryFormInCreationOrder) {
    const json names = client.ok(cmd("controls"));
    ASSERT_TRUE(names.is_array());
    EXPECT_EQ(names.front(), "mainform");
    std::vector<std::string> expected;
    for (ui::Form* form : w.app.forms())
        for (ui::Control* c : form->controls())
            expected.push_back(c->name());
    EXPECT_EQ(names, json(expected));
    auto position = [&](const std::string& name) {
        return std::find(expected.begin(), expected.end(), name) - expected.begin();
    };
    EXPECT_LT(position("Label1"), position("Edit1"));
    EXPECT_LT(position("Timer2"), position("otherform"));
    EXPECT_LT(position("otherform"), position("ReceiverItem"));
}

TEST_F(ChannelTest, WaitIdleRunsPostedWorkUntilTheProbeSaysIdle) {
    // No worker installed: idle at once.
    EXPECT_EQ(client.ok(cmd("wait-idle", 1000)), true);

    bool idle = false;
    w.app.idleProbe = [&idle] { return idle; };
    EXPECT_EQ(client.ok(cmd("wait-idle", 0)), false);

    // A worker thread finishes later and reports through posted work, which the
    // wait must run for the probe to see it.
    std::thread worker([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        w.app.loop().post([&idle] { idle = true; });
    });
    EXPECT_EQ(client.ok(cmd("wait-idle", 60'000)), true);
    worker.join();

    client.error(cmd("wait-idle", -1));
    client.error(cmd("wait-idle", "soon"));
}

// What a transport does: each request line posted to the loop as one piece of work.
struct Posted {
    explicit Posted(automation::Channel& c) : channel(c) {}
    automation::Channel& channel;
    std::vector<json> replies;
    int next = 1;

    automation::Channel::ReplyWriter writer() {
        return [this](const std::string& reply) { replies.push_back(json::parse(reply)); };
    }
    void post(const json& command, automation::Channel::Presence presence = {}) {
        const std::string line = json{{"id", next++}, {"command", command}}.dump();
        channel.app().loop().post(
            [this, line, presence] { channel.submit(line, writer(), presence); });
    }
    std::vector<int> ids() const {
        std::vector<int> out;
        for (const auto& reply : replies)
            out.push_back(reply.value("id", 0));
        return out;
    }
};

// Records the order in which handlers ran and whether any ran inside another.
struct Nesting {
    std::vector<std::string> order;
    int depth = 0;
    int deepest = 0;
    std::function<void()> handler(std::string name, std::function<void()> body = {}) {
        return [this, name, body] {
            ++depth;
            deepest = std::max(deepest, depth);
            order.push_back(name);
            if (body)
                body();
            --depth;
        };
    }
};

TEST_F(ChannelTest, PipelinedRequestsAreAnsweredInOrderEachAfterTheWorkOfTheOneBefore) {
    w.app.state().add("postedRan", [this] { return json(w.postedRan); });
    Posted client2(channel);
    client2.post(cmd("event", "Button1", "Click"));
    client2.post(cmd("state", "postedRan"));
    client2.post(cmd("state", "clicks"));
    EXPECT_EQ(w.app.loop().runPosted(), 3u);
    EXPECT_EQ(client2.ids(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(client2.replies[0]["error"], "success");
    EXPECT_EQ(client2.replies[1]["data"], true); // the click's posted work had run
    EXPECT_EQ(client2.replies[2]["data"], 1);
}

TEST_F(ChannelTest, ARequestArrivingWhileAHandlersWorkRunsWaitsForAllOfIt) {
    ui::EventLoop& loop = w.app.loop();
    Nesting seen;
    Posted client2(channel);
    auto& chain = w.main.add<ui::Button>("ChainButton");
    auto& probe = w.main.add<ui::Button>("ProbeButton");
    chain.onClick = seen.handler("click", [&] {
        loop.post(seen.handler("A", [&] {
            // A transport's reader thread posts the next request meanwhile.
            std::thread reader([&] { client2.post(cmd("event", "ProbeButton", "Click")); });
            reader.join();
            loop.post(seen.handler("A.1", [&] { loop.post(seen.handler("A.1.1")); }));
        }));
        loop.post(seen.handler("B"));
    });
    probe.onClick = seen.handler("probe");

    client2.post(cmd("event", "ChainButton", "Click"));
    EXPECT_EQ(loop.runPosted(), 2u);
    EXPECT_EQ(seen.order, (std::vector<std::string>{"click", "A", "B", "A.1", "A.1.1", "probe"}));
    EXPECT_EQ(seen.deepest, 1);
    EXPECT_EQ(client2.ids(), (std::vector<int>{1, 2}));
}

TEST_F(ChannelTest, RequestsAfterAWaitIdleWaitForItsReplyWhileTheLoopRunsOn) {
    ui::EventLoop& loop = w.app.loop();
    bool idle = false;
    int clicksWhenIdle = -1;
    w.app.idleProbe = [&idle] { return idle; };
    Posted client2(channel);
    client2.post(cmd("wait-idle", 60'000));
    client2.post(cmd("event", "Button1", "Click"));
    client2.post(cmd("state", "clicks"));
    // The worker's report comes after the requests; the loop must run it while the
    // wait is in progress, and the click must wait for the wait's reply.
    loop.post([&] {
        clicksWhenIdle = w.clicks;
        idle = true;
    });
    automation::HeadlessDriver(w.app).runUntil([&] { return client2.replies.size() == 3; });
    EXPECT_EQ(clicksWhenIdle, 0);
    EXPECT_EQ(client2.ids(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(client2.replies[0]["data"], true);
    EXPECT_EQ(client2.replies[2]["data"], 1);
    EXPECT_FALSE(loop.watching());
}

TEST_F(ChannelTest, OverlongLinesAndTheEndOfInputTakeTheirPlaceAmongTheRequests) {
    Posted client2(channel);
    client2.post(cmd("event", "Button1", "Click"));
    w.app.loop().post([&] { channel.submitOverlong(64, client2.writer()); });
    w.app.loop().post([&] { channel.submitEndOfInput(); });
    w.app.loop().runPosted();
    ASSERT_EQ(client2.replies.size(), 2u);
    EXPECT_EQ(client2.replies[1],
              (json{{"id", nullptr}, {"error", "request line longer than 64 bytes"}}));
    EXPECT_EQ(w.clicks, 1);
    EXPECT_TRUE(w.closed);
    EXPECT_TRUE(w.app.terminated());
}

TEST_F(ChannelTest, RequestsOfAClientThatWentAwayAreDropped) {
    bool there = true;
    const automation::Channel::Presence present = [&there] { return there; };
    bool idle = false;
    w.app.idleProbe = [&idle] { return idle; };
    Posted client2(channel);
    client2.post(cmd("wait-idle", 60'000), present);
    client2.post(cmd("event", "Button1", "Click"), present);
    w.app.loop().post([&] { channel.submitEndOfInput(present); });
    w.app.loop().runPosted();
    // The client goes while its wait is in progress.
    there = false;
    idle = true;
    w.app.loop().runWatches();
    EXPECT_TRUE(client2.replies.empty());
    EXPECT_EQ(w.clicks, 0);
    EXPECT_FALSE(w.app.terminated());
    // The channel serves the others.
    EXPECT_EQ(client.ok(cmd("state", "clicks")), 0);
}

TEST(ChannelLifetime, AWaitInProgressEndsQuietlyWhenTheChannelGoes) {
    TestWindow w;
    bool idle = false;
    w.app.idleProbe = [&idle] { return idle; };
    int replies = 0;
    {
        automation::Channel channel(w.app);
        channel.submit(R"({"id": 1, "command": ["wait-idle", 60000]})",
                       [&](const std::string&) { ++replies; });
        EXPECT_TRUE(w.app.loop().watching());
    }
    idle = true;
    w.app.loop().runWatches();
    EXPECT_FALSE(w.app.loop().watching());
    EXPECT_EQ(replies, 0);
}

TEST_F(ChannelTest, QuitClosesThePrincipalFormAsTheUserWould) {
    EXPECT_FALSE(w.app.quitRequested());
    EXPECT_TRUE(client.ok(cmd("quit")).is_null());
    EXPECT_TRUE(w.app.quitRequested());
    EXPECT_TRUE(w.closed);
    EXPECT_FALSE(w.main.visible());
    EXPECT_TRUE(w.app.terminated());
}

TEST_F(ChannelTest, QuitEndsTheProgramEvenWhenClosingTheWindowFails) {
    w.main.onClose = [] { throw std::runtime_error("cannot close"); };
    EXPECT_TRUE(client.ok(cmd("quit")).is_null());
    EXPECT_TRUE(w.app.terminated());
    EXPECT_TRUE(w.app.quitRequested());
    ASSERT_EQ(w.app.dialogs().log().size(), 1u);
    EXPECT_EQ(w.app.dialogs().log()[0].text, "cannot close");
}

TEST_F(ChannelTest, AQuitArrivingIsAnnouncedBeforeItsTurn) {
    // Lines that are not a quit request leave the application alone.
    for (const char* line :
         {R"({"id": 1, "command": ["get", "quit"]})", R"({"id": 2, "command": ["quit", 1]})",
          R"({"command": ["quit"]})", R"({"id": 3, "command": "quit"})", "quit",
          R"({"id": 4, "command": [[[[["quit"]]]]]})", ""}) {
        channel.announce(line);
        EXPECT_FALSE(w.app.quitRequested()) << line;
    }
    std::string deep = R"({"id": 5, "command": ["quit", )" + std::string(100000, '[') +
                       std::string(100000, ']') + "]}";
    channel.announce(deep);
    EXPECT_FALSE(w.app.quitRequested());

    // A quit is known at once; it still runs only in its turn.
    channel.announce(R"({"id": 6, "command": ["quit"]})");
    EXPECT_TRUE(w.app.quitRequested());
    EXPECT_FALSE(w.app.terminated());
    EXPECT_FALSE(w.closed);

    TestWindow other;
    automation::Channel otherChannel(other.app);
    otherChannel.announceEndOfInput();
    EXPECT_TRUE(other.app.quitRequested());
}

TEST_F(ChannelTest, QuitWithoutAPrincipalFormEndsTheProgram) {
    w.app.setPrincipal(nullptr);
    client.ok(cmd("quit"));
    EXPECT_FALSE(w.closed);
    EXPECT_TRUE(w.app.terminated());
}

TEST_F(ChannelTest, MalformedRequestsGetErrorRepliesNamingTheFault) {
    auto errorOf = [&](const std::string& line) {
        const json reply = client.raw(line);
        EXPECT_NE(reply["error"], "success") << line;
        return reply;
    };
    json reply = errorOf("this is not json");
    EXPECT_TRUE(reply["id"].is_null());
    EXPECT_NE(reply["error"].get<std::string>().find("malformed"), std::string::npos);

    EXPECT_TRUE(errorOf(R"({"id": 1, "command": ["get", "Label1"]} trailing)")["id"].is_null());
    EXPECT_TRUE(errorOf(R"(["get", "Label1"])")["id"].is_null());
    EXPECT_TRUE(errorOf("\"\xFF\xFE\"")["id"].is_null());

    reply = errorOf(R"({"command": ["get", "Label1"]})");
    EXPECT_TRUE(reply["id"].is_null());
    EXPECT_NE(reply["error"].get<std::string>().find("id"), std::string::npos);

    // Ids come back as given, whatever their type.
    EXPECT_EQ(errorOf(R"({"id": "a7"})")["id"], "a7");
    EXPECT_EQ(errorOf(R"({"id": 8, "command": "get"})")["id"], 8);
    EXPECT_EQ(errorOf(R"({"id": 9, "command": []})")["id"], 9);
    EXPECT_EQ(errorOf(R"({"id": 10, "command": [5]})")["id"], 10);
    reply = errorOf(R"({"id": 11, "command": ["explode"]})");
    EXPECT_EQ(reply["id"], 11);
    EXPECT_NE(reply["error"].get<std::string>().find("explode"), std::string::npos);
    EXPECT_EQ(errorOf(R"({"id": 12, "command": ["get", "Label1", "extra"]})")["id"], 12);
    EXPECT_NE(client.error(cmd("get", "Nowhere")).find("Nowhere"), std::string::npos);

    // Deep nesting is refused before anything walks it.
    std::string deep = R"({"id": 13, "command": ["get", )" + std::string(100000, '[') +
                       std::string(100000, ']') + "]}";
    EXPECT_TRUE(errorOf(deep)["id"].is_null());
    EXPECT_TRUE(errorOf("")["id"].is_null());

    // And the channel still works.
    EXPECT_EQ(client.ok(cmd("get", "Label1"))["name"], "Label1");
    EXPECT_EQ(w.clicks, 0);
}

TEST_F(ChannelTest, SubsystemsCanAddCommands) {
    channel.addCommand("echo", [](automation::Arguments& args) {
        args.expectCount(1, 1, "TEXT");
        return json(args.string(0, "TEXT"));
    });
    EXPECT_EQ(client.ok(cmd("echo", "hello")), "hello");
    client.error(cmd("echo"));
    EXPECT_THROW(channel.addCommand("get", [](automation::Arguments&) { return json(); }),
                 std::logic_error);
    EXPECT_EQ(client.ok(cmd("get", "Label1"))["kind"], "Label");

    channel.addCommand(
        "fails", [](automation::Arguments&) -> json { throw std::runtime_error("disk full"); });
    EXPECT_EQ(client.error(cmd("fails")), "disk full");
}

} // namespace
