#pragma once
// The binding of a media surface: a widget with a native window of its own, black
// whatever the skin, whose window id the model publishes to the media worker for
// the player to draw into.
//
// Owns the widget. Thread: user-interface thread only; the media worker reads the
// published id from its own thread.

#include "qt/Binding.h"

namespace ui {
class MediaSurface;
}

namespace qtfront {

class MediaSurfaceBinding final : public Binding {
  public:
    MediaSurfaceBinding(ui::MediaSurface& surface, BindingHost& host, std::uint64_t serial,
                        QWidget* parent);

    /// Qt may make the native window again (e.g. when the window's surface
    /// changes); the player must draw into the new one.
    void nativeWindowChanged() override;

  private:
    void applyKind() override;

    ui::MediaSurface& surface_;
};

} // namespace qtfront
