// The player movie in a real window: its video is drawn into the native window of
// the media surface, inside the window's layout, not into a window of its own.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include <chrono>

#include "MediaClips.h"
#include "QtEnvironment.h"
#include "ShownGallery.h"
#include "player/MovieRequest.h"
#include "player/PlayerMovie.h"
#include "player/PollReplies.h"

namespace {

class MovieSurface : public qttest::ShownGallery {};

TEST_F(MovieSurface, TheMoviesVideoIsDrawnIntoTheSurface) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(front.windowOf(gallery)));
    ASSERT_NE(surface(), nullptr);
    const QRect area = this->area();
    EXPECT_LT(qttest::colourfulShare(area), 0.05); // black before anything plays

    mediatest::MediaClips clips;
    player::PlayerMovie movie;
    movie.loadMovie(1, ZORVEX_SOURCE_DIR "/demo/movie/fl8b.swf");
    movie.setSurface(&gallery.surface);
    movie.callFunction(player::invokeText("playVideo", clips.clip("flv")));
    movie.callFunction(player::invokeText("pauseVideo", "Pause"));
    // Paused on a frame of the test picture, which fills the surface with colour.
    EXPECT_TRUE(QTest::qWaitFor([&] { return movie.idle(); }, 30000));
    EXPECT_EQ(player::stateWordOf(movie.callFunction(player::invokeText("statusVideo", "status"))),
              "paused")
        << movie.lastError();
    EXPECT_TRUE(QTest::qWaitFor([&] { return qttest::colourfulShare(area) > 0.3; }, 30000));
}

} // namespace
