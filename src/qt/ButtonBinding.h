#pragma once
// The binding of a button: a QPushButton with the caption, and the glyph picture
// as its icon for an image button (converted for Qt only when the glyph is another
// one). Qt's click, by pointer or keyboard, is the model's Click.
//
// Owns the widget and the converted glyph. Thread: user-interface thread only.

#include "qt/Binding.h"
#include "qt/ConvertedPicture.h"

namespace ui {
class Button;
}

namespace qtfront {

class ButtonBinding final : public Binding {
  public:
    ButtonBinding(ui::Button& button, BindingHost& host, std::uint64_t serial, QWidget* parent);

  private:
    void applyKind() override;

    ui::Button& button_;
    ConvertedPicture glyph_;
};

} // namespace qtfront
