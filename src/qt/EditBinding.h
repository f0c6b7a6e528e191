#pragma once
// The binding of an edit: a QLineEdit. What the user types becomes the edit's text
// and its Change; a key the key press handler replaced is typed in its place.
//
// Owns the widget. Thread: user-interface thread only.

#include <functional>

#include "qt/Binding.h"

namespace ui {
class Edit;
}

namespace qtfront {

class EditBinding final : public Binding {
  public:
    EditBinding(ui::Edit& edit, BindingHost& host, std::uint64_t serial, QWidget* parent);

    void replaceTypedKey(const std::string& key) override;

  private:
    void applyKind() override;
    /// Work that gives the model the text the user left in the widget, then its Change.
    std::function<void()> textReport(const QString& text) const;

    ui::Edit& edit_;
    int focusFollowed_ = 0;
};

} // namespace qtfront
