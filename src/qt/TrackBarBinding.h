#pragma once
// The binding of a track bar: a QSlider, upright when the bar is taller than wide.
// A position the user gives it becomes the bar's position and its Change.
//
// Owns the widget. Thread: user-interface thread only.

#include "qt/Binding.h"

namespace ui {
class TrackBar;
}

namespace qtfront {

class TrackBarBinding final : public Binding {
  public:
    TrackBarBinding(ui::TrackBar& bar, BindingHost& host, std::uint64_t serial, QWidget* parent);

  private:
    void applyKind() override;

    ui::TrackBar& bar_;
};

} // namespace qtfront
