#pragma once
// The binding of a progress bar: a QProgressBar without text.
//
// Owns the widget. Thread: user-interface thread only.

#include "qt/Binding.h"

namespace ui {
class ProgressBar;
}

namespace qtfront {

class ProgressBarBinding final : public Binding {
  public:
    ProgressBarBinding(ui::ProgressBar& bar, BindingHost& host, std::uint64_t serial,
                       QWidget* parent);

  private:
    void applyKind() override;

    ui::ProgressBar& bar_;
};

} // namespace qtfront
