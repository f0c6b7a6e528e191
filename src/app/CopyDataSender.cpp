#include "app/CopyDataSender.h"

#include "ui/Widgets.h"

namespace app {

CopyDataSender::CopyDataSender(ui::Application& app) : ui::Form(app, "SenderMainForm") {
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
}

} // namespace app
