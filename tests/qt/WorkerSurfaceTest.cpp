// The media worker in a real window: its player draws the video into the native
// window of a media surface, inside the window's layout.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include <atomic>
#include <string>

#include "MediaClips.h"
#include "QtEnvironment.h"
#include "ShownGallery.h"
#include "player/MediaWorker.h"
#include "player/Player.h"

namespace {

class WorkerSurface : public qttest::ShownGallery {};

TEST_F(WorkerSurface, TheWorkersVideoIsDrawnIntoTheSurface) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(front.windowOf(gallery)));
    ASSERT_NE(surface(), nullptr);
    ASSERT_NE(gallery.surface.windowId(), 0);
    const QRect area = this->area();
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
