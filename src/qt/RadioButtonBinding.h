#pragma once
// The binding of a radio button: a QRadioButton without Qt's own grouping, since
// the model unchecks the siblings. Qt's click is the model's Click.
//
// Owns the widget. Thread: user-interface thread only.

#include "qt/Binding.h"

namespace ui {
class RadioButton;
}

namespace qtfront {

class RadioButtonBinding final : public Binding {
  public:
    RadioButtonBinding(ui::RadioButton& radio, BindingHost& host, std::uint64_t serial,
                       QWidget* parent);

  private:
    void applyKind() override;

    ui::RadioButton& radio_;
};

} // namespace qtfront
