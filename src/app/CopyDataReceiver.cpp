#include "app/CopyDataReceiver.h"

#include "ui/Image.h"
#include "ui/Widgets.h"

namespace app {

CopyDataReceiver::CopyDataReceiver(ui::Application& app) : ui::Form(app, "ReceiverMainForm") {
    setCaption("ReceiverMainForm");
    setBounds(0, 0, 400, 300);
    auto& memo = add<ui::Memo>("cdMemo");
    memo.setBounds(8, 8, 384, 140);
    memo.setText("First run CopyDataReceiver (this application) then CopyDataSender!");
    memo.clear(); // the design text is cleared at creation
    auto& image = add<ui::Image>("receivedImage");
    image.setBounds(8, 156, 384, 136);
}

} // namespace app
