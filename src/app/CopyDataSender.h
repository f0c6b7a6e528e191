#pragma once
// The copy-data sender: a form that is made at start and never shown; it hands a
// link to whatever receiver window exists.
//
// Thread: user-interface thread only.

#include "ui/Form.h"

namespace app {

class CopyDataSender : public ui::Form {
  public:
    explicit CopyDataSender(ui::Application& app);
};

} // namespace app
