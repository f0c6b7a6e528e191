#pragma once
// The user's bookmarks: the page of up to sixteen pictures on the side bar's
// "Bookmarks" tab, paged sixteen at a time, oldest first, and every command that
// adds or deletes bookmarks, with the confirmation dialog.
//
// It owns the store, the page state (bookmarkOffset, bookmarkCount), the flags
// bookmarkConfirmed and bookmarkShowLast, and the slot table bookmarkSlots; the
// item a new bookmark comes from, and the flag bookmarkFromNowPlaying, are the
// Selection's.
//
// Thread: user-interface thread only. Handlers throw what the store throws
// (db::Error) and what a picture throws (ui::PictureError); the application's
// error boundary shows it.

#include <array>

#include "bookmarks/BookmarkStore.h"
#include "catalogue/SlotTable.h"

namespace ui {
class Form;
class Image;
} // namespace ui
namespace catalogue {
class Selection;
}

namespace bookmarks {

class BookmarkDialog;

class BookmarkPage {
  public:
    /// Binds the Bookmarks tab's paging buttons, the two buttons of the information
    /// panel and the thumbnail menu's bookmark items, and registers the state.
    BookmarkPage(ui::Form& form, catalogue::Selection& selection);
    BookmarkPage(const BookmarkPage&) = delete;
    BookmarkPage& operator=(const BookmarkPage&) = delete;

    /// The dialog the commands ask through; it is made after the main window.
    void attachDialog(BookmarkDialog& dialog);

    /// Shows the page at bookmarkOffset (the last page when bookmarkShowLast is
    /// set) on the Bookmarks tab, and brings the side bar out with that tab.
    void LoadBookmarkPage();
    /// Asks first (the dialog's insert mode); once confirmed, stores the current
    /// item, or the item playing when bookmarkFromNowPlaying is set, and shows the
    /// last page. A duplicate shows the dialog's duplicate mode instead; any other
    /// failure is shown, and the page is reloaded all the same.
    void AddBookmark();
    /// Deletes every bookmark, then reloads the page.
    void ClearBookmarks();
    /// Deletes the bookmark of the current item's recnum, then reloads the page.
    void RemoveBookmark();
    /// The text grid menu's "Add to Bookmarks": asks again, whatever was answered
    /// before, and keeps the bookmark source as it is.
    void addFromGridMenu();
    /// Closes the store, ignoring errors (the main window closes).
    void closeStore() noexcept { store_.close(); }

    const catalogue::SlotTable& bookmarkSlots() const { return slots_; }
    BookmarkStore& store() { return store_; }

  private:
    void previousPage();
    void nextPage();
    void addFromPlayer();
    void addFromThumbnail();
    void askDeleteAll();
    void registerState() const;
    /// Picks the picture the new bookmark stores, writing "boin.jpg" when it comes
    /// from the current item.
    std::string pictureFor(bool fromNowPlaying) const;

    ui::Form& form_;
    catalogue::Selection& selection_;
    BookmarkDialog* dialog_ = nullptr; ///< not owned
    BookmarkStore store_;
    catalogue::SlotTable slots_;
    std::array<ui::Image*, 17> images_{}; // index 0 unused
    int bookmarkOffset_ = 0;
    int bookmarkCount_ = 0;
    bool bookmarkConfirmed_ = false;
    bool bookmarkShowLast_ = false;
};

} // namespace bookmarks
