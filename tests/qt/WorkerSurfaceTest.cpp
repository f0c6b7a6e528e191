// The media worker in a real window: its player draws the video into the native
// window of a media surface, inside the window's layout.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include <atomic>
#include <string>

#include "GalleryForm.h"
#include "MediaClips.h"
#include "QtEnvironment.h"
#include "player/MediaWorker.h"
#include "player/Player.h"
#include "qt/FormWindow.h"
#include "qt/FrontEnd.h"
#include "ui/Application.h"

namespace {

TEST(WorkerSurface, TheWorkersVideoIsDrawnIntoTheSurface) {
    qttest::application();
    ui::Application app{ui::EventLoop::ClockKind::Real};
    qttest::GalleryForm gallery{app};
    app.setPrincipal(&gallery);
    qtfront::FrontEnd front(app, qtfront::Skins::load(qttest::skinFolder()));
    gallery.show();
    front.sync();
    qtfront::FormWindow* window = front.windowOf(gallery);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    QWidget* surface = front.widgetOf(gallery.surface);
    ASSERT_NE(surface, nullptr);
    ASSERT_NE(gallery.surface.windowId(), 0);
    const QRect area(surface->mapToGlobal(QPoint(0, 0)), surface->size());
    EXPECT_LT(qttest::colourfulShare(area), 0.05); // black before anything plays

    mediatest::MediaClips clips;
    std::atomic<int> done{0};
    std::atomic<bool> playing{false};
    player::MediaWorker worker(player::surfacePlayerFactory(&gallery.surface),
                               [&](player::WorkerUpdate u) {
                                   if (u.status)
                                       playing = *u.status == "Playing";
                                   if (u.commandDone)
                                       ++done;
                               });
    player::WorkerInputs in;
    in.volume = 0;
    in.panelWidth = gallery.surface.width();
    in.panelHeight = gallery.surface.height();
    in.panelWindow = static_cast<platform::NativeWindow>(gallery.surface.windowId());
    in.playMode = 1;
    worker.setLink(clips.clip("wmv"));
    worker.post(player::WorkerCommand::Play, in);
    ASSERT_TRUE(QTest::qWaitFor([&] { return done >= 1; }, 30000));
    EXPECT_TRUE(playing);
    // Paused on a frame of the test picture, which fills the surface with colour.
    worker.post(player::WorkerCommand::PauseToggle, in);
    ASSERT_TRUE(QTest::qWaitFor([&] { return done >= 2; }, 30000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return qttest::colourfulShare(area) > 0.3; }, 30000));
    worker.end();
}

} // namespace
