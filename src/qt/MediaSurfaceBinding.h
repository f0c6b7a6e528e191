#pragma once
// The binding of a media surface: a widget with a native window of its own, black
// whatever the skin, whose window id the model publishes to the media worker for
// the player to draw into.
//
// A native window is drawn over every control of its window that has none, whatever
// the model stacks in front of it: the web page of the idle screen, a panel, the
// control bar. So the window shows only what the model leaves uncovered of the
// surface (ui::visibleArea), and is hidden while nothing is; the control's own
// visibility stays the model's.
//
// Owns the widget. Thread: user-interface thread only; the media worker reads the
// published id from its own thread.

#include <QRegion>

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
    /// Follows the controls in front of the surface and its parents.
    void afterSync() override;

  private:
    void applyKind() override;
    bool shownInWindow() const override;

    ui::MediaSurface& surface_;
    /// The mask set on the window; empty for none (the whole surface shows).
    QRegion mask_;
};

} // namespace qtfront
