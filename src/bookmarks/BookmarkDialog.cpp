#include "bookmarks/BookmarkDialog.h"

#include "ui/Widgets.h"

namespace bookmarks {

BookmarkDialog::BookmarkDialog(ui::Application& app) : ui::Form(app, "bookmarkbox") {
    setCaption("Bookmarks");
    setBounds(0, 0, 307, 119);
    ui::Font f = font();
    f.setPoints(8);
    setFont(f);
    setSkin(1);

    auto label = [this](const char* name, const char* text, int left, int top, int width,
                        int height, bool visible) {
        auto& l = add<ui::Label>(name);
        l.setBounds(left, top, width, height);
        l.setCaption(text);
        l.setWordWrap(height > 16);
        l.setVisible(visible);
    };
    label("Label1", "Click OK to delete all bookmarks. Do you want to delete all bookmarks?", 32,
          40, 235, 26, true);
    label("Label2", "Video already exsists in Bookmarks", 67, 50, 200, 16, false);
    label("Label3", "Click OK to insert bookmark. Do you want to insert bookmark?", 32, 40, 235, 26,
          false);

    auto button = [this](const char* name, const char* caption, int left, bool bold, bool visible) {
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
    };
    button("Button1", "OK", 32, false, true);
    button("Button2", "Cancel", 192, false, true);
    button("Button3", "OK", 111, true, false);
    button("Button4", "OK", 32, false, false);
    button("Button5", "Cancel", 192, false, false);
}

} // namespace bookmarks
