#include "app/CopyDataSender.h"

#include <filesystem>
#include <nlohmann/json.hpp>
#include <ostream>

#include "app/CopyDataReceiver.h"
#include "platform/Shell.h"
#include "ui/Application.h"
#include "ui/StateRegistry.h"
#include "ui/Widgets.h"

namespace app {

CopyDataSender::CopyDataSender(ui::Application& app, platform::Shell& shell)
    : ui::Form(app, "SenderMainForm"), shell_(shell) {
    setCaption("CopyData Sender");
    setBounds(0, 0, 320, 160);
    // The form's own controls are never shown: the choice of what to send and its button.
    auto& options = add<ui::Panel>("rgCopyOptions");
    options.setBounds(8, 8, 200, 90);
    for (const char* kind : {"String", "Image", "Record"}) {
        auto& choice = options.add<ui::RadioButton>(std::string("rgCopyOptions") + kind);
        choice.setCaption(kind);
    }
    auto& send = add<ui::Button>("SendDataButton");
    send.setBounds(8, 110, 100, 25);
    send.setCaption("Send Data");

    app.state().add("lastSentText", [this] { return lastSentText_; });
}

platform::CopyDataDelivery CopyDataSender::SendText(std::string_view text) {
    lastSentText_ = std::string(text);
    return Deliver(platform::textMessage(text));
}

void CopyDataSender::OpenLinkMaximised(std::string_view url) {
    shell_.openUrl(url, platform::WindowShow::Maximised);
}

platform::CopyDataDelivery CopyDataSender::Deliver(const platform::CopyData& record) {
    platform::CopyDataDelivery result =
        platform::deliverCopyData(CopyDataReceiver::kClassName, CopyDataReceiver::kTitle, record);
    if (!result.found)
        shell_.openUrl(lastSentText_, platform::WindowShow::Maximised);
    return result;
}

int sendToRunningProgram(std::string_view text, std::ostream& err) {
    // The running program has a working directory of its own: a file named relative
    // to ours goes as its full path.
    std::string link(text);
    std::error_code ec;
    if (!link.empty() && link.front() != '/' && link.find("://") == std::string::npos &&
        std::filesystem::is_regular_file(link, ec))
        link = std::filesystem::absolute(link, ec).lexically_normal().string();
    platform::CopyDataDelivery result;
    try {
        result = platform::deliverCopyData(CopyDataReceiver::kClassName, CopyDataReceiver::kTitle,
                                           platform::textMessage(link));
    } catch (const platform::CopyDataError& e) {
        err << "zorvex: cannot send the text: " << e.what() << "\n";
        return 1;
    }
    if (!result.found) {
        err << "zorvex: no Zorvex is running to take the link (" << result.error
            << "); start Zorvex first\n";
        return 1;
    }
    if (!result.answer) {
        err << "zorvex: the running Zorvex did not take the link: " << result.error << "\n";
        return 1;
    }
    return 0;
}

} // namespace app
