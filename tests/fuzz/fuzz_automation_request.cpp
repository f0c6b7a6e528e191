// One automation request line into a small window: whatever the line holds, the
// channel answers it with exactly one reply line that is JSON. Requests that move
// the clock far or wait in real time are left out (they only take long).

#include "FuzzInit.h"

#include "automation/Channel.h"
#include "automation/HeadlessDriver.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Menu.h"
#include "ui/PageControl.h"
#include "ui/Timer.h"
#include "ui/Widgets.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

namespace {

struct Window {
    Window() {
        app.setPrincipal(&main);
        auto& panel = main.add<ui::Panel>("Panel1");
        panel.setBounds(0, 0, 400, 300);
        auto& label = panel.add<ui::Label>("Label1");
        label.setBounds(10, 10, 100, 16);
        auto& edit = panel.add<ui::Edit>("Edit1");
        edit.setBounds(10, 30, 100, 20);
        edit.onKeyPress = [](std::string& key) { key += key; };
        auto& button = panel.add<ui::Button>("Button1");
        button.setBounds(10, 60, 80, 24);
        button.onClick = [this] { ++clicks; };
        auto& hidden = panel.add<ui::Button>("Hidden1");
        hidden.hide();
        auto& pages = main.add<ui::PageControl>("Pages1");
        pages.setBounds(0, 100, 300, 200);
        pages.addPage("Sheet1", "One");
        pages.addPage("Sheet2", "Two");
        auto& timer = main.add<ui::Timer>("Timer1");
        timer.setInterval(1000);
        timer.setEnabled(true);
        main.show();
    }
    ui::Application app{ui::EventLoop::ClockKind::Virtual};
    ui::Form main{app, "mainform"};
    int clicks = 0;
};

std::unique_ptr<Window> window;
std::unique_ptr<automation::Channel> channel;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    window = std::make_unique<Window>();
    channel = std::make_unique<automation::Channel>(window->app);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string line(fuzz::text(data, size));
    if (line.find("advance") != std::string::npos || line.find("wait") != std::string::npos ||
        line.find("quit") != std::string::npos || line.find('\n') != std::string::npos)
        return 0;
    int replies = 0;
    std::string reply;
    channel->submit(line, [&](const std::string& r) {
        reply = r;
        ++replies;
    });
    if (replies != 1 || reply.find('\n') != std::string::npos ||
        nlohmann::json::parse(reply, nullptr, false).is_discarded()) {
        std::fprintf(stderr, "%d replies, the last: %s\n", replies, reply.c_str());
        std::abort();
    }
    return 0;
}
