#include "bookmarks/BookmarkDialog.h"

#include "ui/Widgets.h"

namespace bookmarks {

BookmarkDialog::BookmarkDialog(ui::Application& app) : ui::Form(app, "bookmarkbox") {
    setCaption("Bookmarks");
    setBounds(0, 0, 307, 119);
    ui::Font f = font();
    f.name = "Tahoma";
    f.setPoints(8);
    setFont(f);
    setSkin(1);
    // A light dialog face with black text, whatever the main window's skin shows.
    setColour({236, 236, 236});
    setStayOnTop(true);
    setVisible(false);

    auto label = [this](const char* name, const char* text, int left, int top, int width,
                        int height, bool visible) {
        auto& l = add<ui::Label>(name);
        l.setBounds(left, top, width, height);
        l.setCaption(text);
        l.setWordWrap(height > 16);
        l.setFontColour(ui::colours::black);
        l.setVisible(visible);
    };
    label("Label1", "Click OK to delete all bookmarks. Do you want to delete all bookmarks?", 32,
          40, 235, 26, true);
    label("Label2", "Video already exsists in Bookmarks", 67, 50, 200, 16, false);
    label("Label3", "Click OK to insert bookmark. Do you want to insert bookmark?", 32, 40, 235, 26,
          false);

    auto button = [this](const char* name, const char* caption, int left, bool bold, bool visible,
                         void (BookmarkDialog::*handler)()) {
        auto& b = add<ui::Button>(name);
        b.setBounds(left, 85, 75, 25);
        b.setCaption(caption);
        b.setSkin(1);
        if (bold) {
            ui::Font bf = b.font();
            bf.bold = true;
            b.setFont(bf);
        }
        b.setVisible(visible);
        b.onClick = [this, handler] { (this->*handler)(); };
    };
    button("Button1", "OK", 32, false, true, &BookmarkDialog::deleteAllConfirmed);
    button("Button2", "Cancel", 192, false, true, &BookmarkDialog::deleteAllCancelled);
    button("Button3", "OK", 111, true, false, &BookmarkDialog::duplicateSeen);
    button("Button4", "OK", 32, false, false, &BookmarkDialog::insertConfirmed);
    button("Button5", "Cancel", 192, false, false, &BookmarkDialog::insertCancelled);
    onClose = [this] { closedByTitleBar(); };
}

void BookmarkDialog::setLayout(Mode mode) {
    mode_ = mode;
    get<ui::Label>("Label1").setVisible(mode == Mode::DeleteAll);
    get<ui::Button>("Button1").setVisible(mode == Mode::DeleteAll);
    get<ui::Button>("Button2").setVisible(mode == Mode::DeleteAll);
    get<ui::Label>("Label2").setVisible(mode == Mode::Duplicate);
    get<ui::Button>("Button3").setVisible(mode == Mode::Duplicate);
    get<ui::Label>("Label3").setVisible(mode == Mode::Insert);
    get<ui::Button>("Button4").setVisible(mode == Mode::Insert);
    get<ui::Button>("Button5").setVisible(mode == Mode::Insert);
}

void BookmarkDialog::enableOwner(bool on) {
    if (owner_)
        owner_->setEnabled(on);
}

void BookmarkDialog::showOverOwner() {
    if (owner_) {
        const ui::Bounds o = owner_->bounds();
        setLeft(o.left + (o.width - bounds().width) / 2);
        setTop(o.top + (o.height - bounds().height) / 2);
    }
    show();
}

void BookmarkDialog::InsertBookmark() {
    enableOwner(false);
    setLayout(Mode::Insert);
    showOverOwner();
}

void BookmarkDialog::DuplicateKey() {
    enableOwner(false);
    setLayout(Mode::Duplicate);
    showOverOwner();
}

void BookmarkDialog::DeleteAll() {
    setLayout(Mode::DeleteAll);
    showOverOwner();
    enableOwner(false);
}

void BookmarkDialog::leave() {
    enableOwner(true);
    hide();
    setLayout(Mode::DeleteAll);
}

void BookmarkDialog::deleteAllConfirmed() {
    // Whatever the deletion does, the user is not left in a dialog over a disabled
    // window: the dialog goes also when the deletion fails, and the error is shown.
    struct Leave {
        BookmarkDialog& d;
        ~Leave() { d.leave(); }
    } leaving{*this};
    if (onDeleteAllConfirmed)
        onDeleteAllConfirmed();
}

void BookmarkDialog::deleteAllCancelled() {
    leave();
}

void BookmarkDialog::duplicateSeen() {
    leave();
}

void BookmarkDialog::insertConfirmed() {
    leave();
    if (onInsertConfirmed)
        onInsertConfirmed();
}

void BookmarkDialog::insertCancelled() {
    leave();
}

void BookmarkDialog::closedByTitleBar() {
    // The form hides itself after this; no flag changes, nothing is stored.
    enableOwner(true);
    setLayout(Mode::DeleteAll);
}

} // namespace bookmarks
