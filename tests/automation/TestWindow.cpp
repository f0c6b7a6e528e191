#include "TestWindow.h"

#include <gtest/gtest.h>

#include <optional>

#include "automation/HeadlessDriver.h"
#include "ui/Picture.h"

namespace automationtest {

TestWindow::TestWindow(ui::EventLoop::ClockKind clock) : app(clock) {
    app.setTitle("Zorvex");
    app.setPrincipal(&main);
    main.setCaption("Main window");
    main.onClose = [this] { closed = true; };

    auto& panel = main.add<ui::Panel>("Panel1");
    panel.setBounds(0, 0, 400, 300);
    label = &panel.add<ui::Label>("Label1");
    label->setBounds(10, 20, 120, 16);
    label->setCaption("Newest Videos");
    label->setHint("the newest items");
    label->setFontColour({0x12, 0xAB, 0xEF});
    label->setFontHeight(13);
    label->setCursor(ui::Cursor::HandPoint);
    label->onMouseMove = [this](int x, int y) {
        log.push_back("move " + std::to_string(x) + "," + std::to_string(y));
    };
    label->onMouseDown = [this](ui::MouseButton b, int x, int y) {
        log.push_back(std::string("down ") + (b == ui::MouseButton::Right ? "right" : "other") +
                      " " + std::to_string(x) + "," + std::to_string(y));
    };

    edit = &panel.add<ui::Edit>("Edit1");
    edit->onChange = [this] { editChanged = true; };
    edit->onKeyPress = [](std::string& key) {
        // Digits are refused, letters pass.
        if (!key.empty() && key[0] >= '0' && key[0] <= '9')
            key.clear();
    };

    auto& button = panel.add<ui::Button>("Button1");
    button.setCaption("Go");
    button.onClick = [this] {
        ++clicks;
        app.loop().post([this] { postedRan = true; });
    };
    panel.add<ui::Button>("ThrowButton").onClick = [] {
        throw std::runtime_error("Lost connection to server");
    };
    panel.add<ui::Button>("AskButton").onClick = [this] {
        answer = app.dialogs().ask("The checks failed.", {"Work Online", "Work Offline"});
    };
    panel.add<ui::Button>("OpenButton").onClick = [this] {
        chosenFile = app.dialogs().chooseFile("Open media", "*.wmv");
    };
    auto& hidden = panel.add<ui::Button>("HiddenButton");
    hidden.hide();
    hidden.onClick = [this] { ++clicks; };

    radio1 = &panel.add<ui::RadioButton>("Radio1");
    radio2 = &panel.add<ui::RadioButton>("Radio2");
    radio1->setChecked(true);

    track = &panel.add<ui::TrackBar>("TrackBar1");
    track->setRange(0, 10);

    pages = &main.add<ui::PageControl>("Pages");
    pages->addPage("Sheet1", "Videos");
    pages->addPage("Sheet2", "Bookmarks").setTabVisible(false);
    pages->onTabActive = [this](int index) { log.push_back("tab " + std::to_string(index)); };

    grid = &main.add<ui::StringGrid>("Grid");
    grid->setSize(2, 3);
    grid->setCell(0, 0, "Title");
    grid->setCell(1, 0, "Feed");
    grid->setCell(0, 1, "Surfing");
    grid->onSelectCell = [this](int col, int row, bool& canSelect) {
        log.push_back("cell " + std::to_string(col) + "," + std::to_string(row));
        canSelect = row != 2;
    };

    tree = &main.add<ui::TreeView>("Tree");
    const int sports = tree->addNode(-1, "Sports", 1);
    tree->addNode(sports, "Surfing", 2);
    tree->addNode(-1, "News", 1);

    image = &main.add<ui::Image>("featurepic1");
    memo = &main.add<ui::Memo>("Memo1");
    memo->setLines({"first", "second"});
    web = &main.add<ui::WebView>("Web1");
    web->navigate("http://example.test/start");

    menu = &main.add<ui::Menu>("PopupMenu1");
    menu->addItem("ZorvexOnline", "Zorvex Online").onClick = [this] {
        log.push_back("menu online");
    };
    menu->addItem("SearchGoogle1", "Search").onClick = [this] { log.push_back("menu search"); };

    auto& t1 = main.add<ui::Timer>("Timer1", 100);
    t1.onTimer = [this] { log.push_back("Timer1 " + std::to_string(app.loop().now())); };
    auto& t2 = main.add<ui::Timer>("Timer2", 250);
    t2.onTimer = [this] { log.push_back("Timer2 " + std::to_string(app.loop().now())); };

    auto& otherButton = other.add<ui::Button>("OtherButton");
    otherButton.onClick = [this] { log.push_back("other"); };
    auto& otherMenu = other.add<ui::Menu>("OtherMenu");
    otherMenu.addItem("ReceiverItem", "Receive").onClick = [this] {
        log.push_back("menu receiver");
    };

    app.state().add("clicks", [this] { return nlohmann::json(clicks); });
    app.state().add("currentItem", [] {
        return nlohmann::json{{"title", "Surfing"}, {"recnum", "42"}};
    });

    main.show();
    other.show();
}

nlohmann::json Client::raw(const std::string& line) {
    // Submitted at the top level, the request runs as a turn of its own; only a
    // wait-idle that is still waiting needs the loop driven until it replies.
    std::optional<std::string> written;
    int replies = 0;
    channel_.submit(line, [&](const std::string& reply) {
        written = reply;
        ++replies;
    });
    if (!written)
        automation::HeadlessDriver(channel_.app()).runUntil([&] { return written.has_value(); });
    EXPECT_EQ(replies, 1) << line;
    const std::string reply = written.value_or("");
    EXPECT_EQ(reply.find('\n'), std::string::npos) << reply;
    auto parsed = nlohmann::json::parse(reply, nullptr, false);
    EXPECT_FALSE(parsed.is_discarded()) << reply;
    EXPECT_TRUE(parsed.is_object() && parsed.contains("id") && parsed.contains("error")) << reply;
    return parsed;
}

nlohmann::json Client::send(const nlohmann::json& command) {
    const int id = next_++;
    auto reply = raw(nlohmann::json{{"id", id}, {"command", command}}.dump());
    EXPECT_EQ(reply.value("id", nlohmann::json()), id) << reply;
    return reply;
}

nlohmann::json Client::ok(const nlohmann::json& command) {
    auto reply = send(command);
    EXPECT_EQ(reply.value("error", ""), "success") << command << " -> " << reply;
    EXPECT_TRUE(reply.contains("data")) << reply;
    return reply.value("data", nlohmann::json());
}

std::string Client::error(const nlohmann::json& command) {
    auto reply = send(command);
    const std::string text = reply.value("error", "");
    EXPECT_NE(text, "success") << command;
    EXPECT_FALSE(text.empty()) << command;
    EXPECT_FALSE(reply.contains("data")) << reply;
    return text;
}

std::string tinyJpeg(int width, int height) {
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width * height * 3), 200);
    auto bytes = ui::Picture::encodeJpeg(width, height, rgb);
    return {bytes.begin(), bytes.end()};
}

} // namespace automationtest
