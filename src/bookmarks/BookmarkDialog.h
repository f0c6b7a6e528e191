#pragma once
// The small confirmation dialog of the bookmark commands: delete all, insert,
// and the duplicate notice, each a layout of the same labels and buttons.
//
// Thread: user-interface thread only.

#include "ui/Form.h"

namespace bookmarks {

class BookmarkDialog : public ui::Form {
  public:
    explicit BookmarkDialog(ui::Application& app);
};

} // namespace bookmarks
