#pragma once
// The copy-data receiver: a window that exists from start, never shown, which
// other programs find by its class name and title to hand it a link.
//
// Thread: user-interface thread only.

#include "ui/Form.h"

namespace app {

class CopyDataReceiver : public ui::Form {
  public:
    explicit CopyDataReceiver(ui::Application& app);
};

} // namespace app
