#include "bookmarks/BookmarkPage.h"

#include <filesystem>

#include <nlohmann/json.hpp>

#include "bookmarks/BookmarkDialog.h"
#include "catalogue/Selection.h"
#include "db/Error.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Menu.h"
#include "ui/PageControl.h"
#include "ui/Picture.h"
#include "ui/StateRegistry.h"
#include "ui/Widgets.h"

namespace bookmarks {

namespace {

constexpr int kPage = BookmarkStore::kPageSize;
constexpr int kBookmarksTab = 2;
constexpr ui::Colour kGrey{128, 128, 128};
constexpr ui::Colour kBlack{0, 0, 0};

// The placeholder picture installed with the program.
constexpr const char* kPlaceholder = "noimage.jpg";

bool isDecodableJpeg(const std::string& path) {
    if (!std::filesystem::is_regular_file(path))
        return false;
    try {
        (void)ui::Picture::fromFile(path, ui::DecodeSize{1, 1});
        return true;
    } catch (const ui::PictureError&) {
        return false;
    }
}

} // namespace

BookmarkPage::BookmarkPage(ui::Form& form, catalogue::Selection& selection)
    : form_(form), selection_(selection) {
    for (int n = 1; n <= kPage; ++n)
        images_[static_cast<std::size_t>(n)] =
            &form_.get<ui::Image>("musicpic" + std::to_string(n));

    auto& favorites = form_.get<ui::Button>("suiImageButton27");
    favorites.onClick = [this] { LoadBookmarkPage(); };
    favorites.onMouseEnter = [&favorites] { favorites.setFontColour(kBlack); };
    favorites.onMouseLeave = [&favorites] { favorites.setFontColour(kGrey); };
    auto& bookmark = form_.get<ui::Button>("playAddToBookmark");
    bookmark.onClick = [this] { addFromPlayer(); };
    bookmark.onMouseEnter = [&bookmark] { bookmark.setFontColour(kBlack); };
    bookmark.onMouseLeave = [&bookmark] { bookmark.setFontColour(kGrey); };
    form_.get<ui::Button>("suiImageButton13").onClick = [this] { previousPage(); };
    form_.get<ui::Button>("suiImageButton14").onClick = [this] { nextPage(); };
    form_.get<ui::MenuItem>("AddtoFavourites1").onClick = [this] { addFromThumbnail(); };
    form_.get<ui::MenuItem>("DeleteBookmark1").onClick = [this] { RemoveBookmark(); };
    form_.get<ui::MenuItem>("DeleteAllBookmarks1").onClick = [this] { askDeleteAll(); };
    registerState();
}

void BookmarkPage::attachDialog(BookmarkDialog& dialog) {
    dialog_ = &dialog;
    dialog.setOwner(form_);
    dialog.onInsertConfirmed = [this] {
        bookmarkConfirmed_ = true;
        AddBookmark();
    };
    dialog.onDeleteAllConfirmed = [this] { ClearBookmarks(); };
}

void BookmarkPage::LoadBookmarkPage() {
    for (int n = 1; n <= kPage; ++n)
        images_[static_cast<std::size_t>(n)]->hide();
    store_.open();
    bookmarkCount_ = static_cast<int>(store_.count());
    if (bookmarkShowLast_) {
        // Truncated toward zero: 0 bookmarks give 0, 16 give 0, 17 give 16.
        bookmarkOffset_ = (bookmarkCount_ - 1) / kPage * kPage;
        bookmarkShowLast_ = false;
    }
    db::Query& rows = store_.readPage(bookmarkOffset_);
    for (int n = 1; n <= kPage && !rows.eof(); ++n, rows.next()) {
        const std::string file = "book" + std::to_string(n) + ".jpg";
        slots_.at(n) = bookmarkItem(rows);
        rows.field(BookmarkStore::kPictureColumn).saveToFile(file);
        auto* image = images_[static_cast<std::size_t>(n)];
        image->loadFromFile(file);
        image->show();
    }
    rows.close();
    form_.get<ui::PageControl>("sidepage").setActiveIndex(kBookmarksTab);
    auto& side = form_.get<ui::SideChannel>("videosidebarslide");
    side.pop(false);
}

std::string BookmarkPage::pictureFor(bool fromNowPlaying) const {
    // A bookmark is never lost for want of a picture: when the picture it should
    // carry is missing or is not a JPEG, it carries the placeholder.
    if (fromNowPlaying)
        return isDecodableJpeg("temp.jpg") ? "temp.jpg" : kPlaceholder;
    const auto& picture = selection_.currentItem().picture;
    if (!picture || picture->empty())
        return kPlaceholder;
    picture->saveJpeg("boin.jpg");
    return "boin.jpg";
}

void BookmarkPage::AddBookmark() {
    if (!bookmarkConfirmed_) {
        if (dialog_)
            dialog_->InsertBookmark();
        return;
    }
    bookmarkConfirmed_ = false;
    bookmarkShowLast_ = true;
    store_.open();

    NewBookmark b;
    const bool fromNowPlaying = selection_.bookmarkFromNowPlaying();
    b.picture = pictureFor(fromNowPlaying);
    const catalogue::Item& item =
        fromNowPlaying ? selection_.nowPlaying()
                       : static_cast<const catalogue::Item&>(selection_.currentItem());
    b.description = item.description;
    b.addedAt = BookmarkStore::now();
    b.feedTitle = item.feedTitle;
    b.title = item.title;
    b.siteUrl = item.siteUrl;
    b.mediaLink = item.mediaLink;
    b.mediaType = item.mediaType;
    if (fromNowPlaying)
        selection_.setBookmarkFromNowPlaying(false);

    try {
        store_.insert(b);
    } catch (const db::Error& e) {
        if (e.number() == db::duplicateEntry ||
            std::string_view(e.what()).find("1062") != std::string_view::npos) {
            if (dialog_)
                dialog_->DuplicateKey();
            return;
        }
        // Never silent: the user would take the reloaded page for a saved bookmark.
        form_.app().dialogs().showError(std::string("The bookmark was not saved: ") + e.what());
    }
    LoadBookmarkPage();
}

void BookmarkPage::ClearBookmarks() {
    store_.clear();
    LoadBookmarkPage();
}

void BookmarkPage::RemoveBookmark() {
    store_.remove(selection_.currentItem().recnum);
    LoadBookmarkPage();
}

void BookmarkPage::addFromGridMenu() {
    bookmarkConfirmed_ = false;
    AddBookmark();
}

void BookmarkPage::previousPage() {
    if (bookmarkOffset_ > 15) {
        bookmarkOffset_ -= kPage;
        LoadBookmarkPage();
    }
}

void BookmarkPage::nextPage() {
    if (bookmarkOffset_ < bookmarkCount_ - kPage) {
        bookmarkOffset_ += kPage;
        LoadBookmarkPage();
    }
}

void BookmarkPage::addFromPlayer() {
    selection_.setBookmarkFromNowPlaying(true);
    bookmarkConfirmed_ = false;
    AddBookmark();
}

void BookmarkPage::addFromThumbnail() {
    selection_.setBookmarkFromNowPlaying(false);
    AddBookmark();
}

void BookmarkPage::askDeleteAll() {
    if (dialog_)
        dialog_->DeleteAll();
}

void BookmarkPage::registerState() const {
    auto& r = form_.app().state();
    r.add("bookmarkOffset", [this] { return bookmarkOffset_; });
    r.add("bookmarkCount", [this] { return bookmarkCount_; });
    r.add("bookmarkConfirmed", [this] { return bookmarkConfirmed_; });
    r.add("bookmarkShowLast", [this] { return bookmarkShowLast_; });
    r.add("bookmarkSlots", [this] { return catalogue::slotsJson(slots_); });
    r.add("bookmarkStoreOpen", [this] { return store_.isOpen(); });
    r.add("bookmarkDialogMode", [this] {
        if (!dialog_)
            return std::string("none");
        switch (dialog_->mode()) {
        case BookmarkDialog::Mode::Insert:
            return std::string("insert");
        case BookmarkDialog::Mode::Duplicate:
            return std::string("duplicate");
        default:
            return std::string("deleteAll");
        }
    });
}

} // namespace bookmarks
