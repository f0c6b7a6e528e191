#pragma once
// The small confirmation dialog of the bookmark commands ("bookmarkbox"): delete
// all, insert, and the duplicate notice, each a layout of the same labels and
// buttons. It is made once and only shown and hidden afterwards. While it is
// visible the main window is disabled; every way out of it (its buttons and its
// title bar's close button) enables the main window again and returns the dialog to
// its default layout.
//
// Thread: user-interface thread only.

#include <functional>

#include "ui/Form.h"

namespace bookmarks {

class BookmarkDialog : public ui::Form {
  public:
    /// The three layouts.
    enum class Mode { DeleteAll, Insert, Duplicate };

    explicit BookmarkDialog(ui::Application& app);

    /// The window the dialog disables while visible and centres on. Until it is
    /// set the dialog disables nothing.
    void setOwner(ui::Form& owner) { owner_ = &owner; }

    /// The insert mode: "Do you want to insert bookmark?" with OK and Cancel.
    void InsertBookmark();
    /// The duplicate mode: "Video already exsists in Bookmarks" with OK.
    void DuplicateKey();
    /// The default layout, asking whether to delete all bookmarks.
    void DeleteAll();

    /// The layout shown now (DeleteAll also while hidden).
    Mode mode() const { return mode_; }

    /// OK in the insert mode, after the dialog is gone.
    std::function<void()> onInsertConfirmed;
    /// OK in the delete-all mode, before the dialog goes.
    std::function<void()> onDeleteAllConfirmed;

  private:
    void deleteAllConfirmed(); // Button1
    void deleteAllCancelled(); // Button2
    void duplicateSeen();      // Button3
    void insertConfirmed();    // Button4
    void insertCancelled();    // Button5
    void closedByTitleBar();   // FormClose

    void setLayout(Mode mode);
    /// Hides the dialog, enables the owner and returns to the default layout.
    void leave();
    void showOverOwner();
    void enableOwner(bool on);

    ui::Form* owner_ = nullptr;
    Mode mode_ = Mode::DeleteAll;
};

} // namespace bookmarks
