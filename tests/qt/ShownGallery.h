#pragma once
// The gallery form in a real window on the screen, drawn by the front end: the
// set-up of the tests that look at the pixels a player draws into its media surface.

#include <gtest/gtest.h>

#include <QPoint>
#include <QRect>
#include <QWidget>
#include <QWindow>

#include "GalleryForm.h"
#include "QtEnvironment.h"
#include "qt/FormWindow.h"
#include "qt/FrontEnd.h"
#include "ui/Application.h"

namespace qttest {

class ShownGallery : public ::testing::Test {
  protected:
    ShownGallery() {
        app.setPrincipal(&gallery);
        gallery.show();
        front.sync();
    }

    /// The widget of the video surface; nullptr before the front end made it.
    QWidget* surface() const { return front.widgetOf(gallery.surface); }
    /// The surface's place on the screen.
    QRect area() const {
        const ui::Bounds& b = gallery.surface.bounds();
        QWidget* parent = front.widgetOf(gallery.videoArea);
        return QRect(parent->mapToGlobal(QPoint(b.left, b.top)), QSize(b.width, b.height));
    }
    /// Whether the surface's native window is on the screen.
    bool nativeShown() const {
        return surface()->isVisible() && surface()->windowHandle() &&
               surface()->windowHandle()->isVisible();
    }

  private:
    // The Qt application comes before every member below that makes widgets.
    bool qtReady_ = (application(), true);

  protected:
    ui::Application app{ui::EventLoop::ClockKind::Real};
    GalleryForm gallery{app};
    qtfront::FrontEnd front{app, qtfront::Skins::load(skinFolder())};
};

} // namespace qttest
