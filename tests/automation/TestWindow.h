#pragma once
// A small window for the automation tests: a few controls of several kinds with
// handlers that record what they saw, two timers, a menu, a second form and a
// couple of state variables.

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "automation/Channel.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Menu.h"
#include "ui/PageControl.h"
#include "ui/StringGrid.h"
#include "ui/Timer.h"
#include "ui/TreeView.h"
#include "ui/WebView.h"
#include "ui/Widgets.h"

namespace automationtest {

struct TestWindow {
    explicit TestWindow(ui::EventLoop::ClockKind clock = ui::EventLoop::ClockKind::Virtual);

    ui::Application app;
    ui::Form main{app, "mainform"};
    ui::Form other{app, "otherform"};

    // What the handlers saw.
    int clicks = 0;
    bool postedRan = false;
    bool closed = false;
    bool editChanged = false;
    std::string answer;
    std::string chosenFile;
    std::vector<std::string> log;

    ui::Label* label = nullptr;
    ui::Edit* edit = nullptr;
    ui::RadioButton* radio1 = nullptr;
    ui::RadioButton* radio2 = nullptr;
    ui::TrackBar* track = nullptr;
    ui::PageControl* pages = nullptr;
    ui::StringGrid* grid = nullptr;
    ui::TreeView* tree = nullptr;
    ui::Image* image = nullptr;
    ui::Memo* memo = nullptr;
    ui::WebView* web = nullptr;
    ui::Menu* menu = nullptr;
};

/// Sends requests to a channel and reads its replies back as JSON.
class Client {
  public:
    explicit Client(automation::Channel& channel) : channel_(channel) {}
    /// Sends {"id": <next>, "command": command} and returns the whole reply,
    /// checking that it is one line echoing the id.
    nlohmann::json send(const nlohmann::json& command);
    /// The reply's data; fails the test unless the reply is a success.
    nlohmann::json ok(const nlohmann::json& command);
    /// The reply's error text; fails the test when the reply is a success.
    std::string error(const nlohmann::json& command);
    /// A raw line, reply parsed.
    nlohmann::json raw(const std::string& line);

  private:
    automation::Channel& channel_;
    int next_ = 1;
};

/// Bytes of a tiny valid JPEG picture.
std::string tinyJpeg(int width, int height);

} // namespace automationtest
