#pragma once
// The copy-data sender: a form that is made at start and never shown; it hands a
// link to whatever receiver window exists.
//
// Thread: user-interface thread only.

#include "ui/Form.h"

namespace app {

class TSenderMainForm : public ui::Form {
public:
    explicit TSenderMainForm(ui::Application& app);
};

} // namespace app
