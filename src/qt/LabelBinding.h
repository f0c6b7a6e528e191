#pragma once
// The binding of a label: a QLabel showing the caption as plain text.
//
// Owns the widget. Thread: user-interface thread only.

#include "qt/Binding.h"

namespace ui {
class Label;
}

namespace qtfront {

class LabelBinding final : public Binding {
  public:
    LabelBinding(ui::Label& label, BindingHost& host, std::uint64_t serial, QWidget* parent);

  private:
    void applyKind() override;

    ui::Label& label_;
};

} // namespace qtfront
