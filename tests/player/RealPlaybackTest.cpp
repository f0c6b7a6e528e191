// Playback end to end: the catalogue's pages, a hover and a click on a thumbnail,
// and the real player movie playing the demo clip with mpv's null outputs, polled
// on the virtual clock while it plays in real time.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "MediaClips.h"
#include "PlaybackFixture.h"
#include "app/MainWindow.h"
#include "browse/FeaturePages.h"
#include "player/PlayRequest.h"
#include "player/PlayerMovie.h"
#include "ui/Application.h"
#include "ui/Image.h"
#include "ui/Timer.h"

namespace {

using namespace std::chrono_literals;
using playertest::PlaybackFixture;

class RealPlaybackTest : public PlaybackFixture {
  protected:
    void startWithMovie(std::chrono::milliseconds openTimeout = 15s) {
        movie = std::make_unique<player::PlayerMovie>(player::PlayerMovieOptions{openTimeout});
        startOnline();
    }
    /// Waits (in real time, bounded) until the movie has carried out its requests,
    /// as the automation's wait-idle does.
    void waitIdle() {
        const auto deadline = std::chrono::steady_clock::now() + 30s;
        while (!app->idleProbe() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(10ms);
        ASSERT_TRUE(app->idleProbe());
    }
    /// One poll of the status, played time and length.
    void poll() {
        waitIdle();
        advance(1000);
    }
    void playChosen() {
        app->dispatch([&] { get<ui::Image>("featurepic1").onClick(); });
    }
};

TEST_F(RealPlaybackTest, AClickOnAMovieThumbnailPlaysTheDemoClip) {
    startWithMovie();
    ASSERT_TRUE(errors().empty()) << errors().front();
    // The first thumbnail of the Newest Videos or Special Interest page whose
    // item plays in the movie from a file of this machine.
    std::string thumbnail;
    for (const auto& [family, table] :
         {std::pair{std::string("featurepic"), &form->pages().featureSlots()},
          std::pair{std::string("specialpic"), &form->pages().specialSlots()}}) {
        for (int slot = 1; slot <= 8 && thumbnail.empty(); ++slot) {
            const catalogue::Item& item = table->at(slot);
            if (player::playsInMovie(item.mediaType, item.feedTitle) &&
                item.mediaLink.starts_with("file://"))
                thumbnail = family + std::to_string(slot);
        }
    }
    ASSERT_FALSE(thumbnail.empty()) << "no movie item on the first pages";
    const int pageIndex = thumbnail.starts_with("feature") ? 2 : 3;
    ui::EventArgs tab;
    tab.index = pageIndex;
    event("suiPageControl1", ui::Event::TabActive, tab);

    ui::EventArgs at;
    at.x = 10;
    at.y = 10;
    event(thumbnail, ui::Event::MouseMove, at);
    event(thumbnail, ui::Event::Click);
    ASSERT_TRUE(errors().empty()) << errors().front();
    EXPECT_EQ(state<int>("playMode"), 2);
    EXPECT_EQ(caption("Label19"), "Loading..");

    poll();
    EXPECT_EQ(state<std::string>("playStatus"), "Playing");
    EXPECT_EQ(caption("Label19"), "Playing");
    EXPECT_EQ(state<int>("flashMaxTime"), 3); // the demo clips last three seconds

    // The slider and the time follow the clip until its end.
    for (int i = 0; i < 30 && state<std::string>("playStatus") == "Playing"; ++i) {
        std::this_thread::sleep_for(200ms);
        poll();
    }
    EXPECT_EQ(state<std::string>("playStatus"), "Stopped");
    EXPECT_EQ(caption("minleft"), "100%");
    EXPECT_EQ(get<ui::TrackBar>("mpposibar").position(), 100);
    EXPECT_EQ(caption("secleft"), "0 : 03");
    EXPECT_TRUE(errors().empty());

    // Play starts it again, stop ends the polling and shows the idle screen.
    event("play", ui::Event::Click);
    poll();
    EXPECT_EQ(state<std::string>("playStatus"), "Playing");
    event("stop", ui::Event::Click);
    waitIdle();
    EXPECT_EQ(state<std::string>("playStatus"), "Stopped");
    EXPECT_FALSE(get<ui::Timer>("threadtimer").enabled());
    EXPECT_TRUE(get<ui::Panel>("Panel2").visible());
    EXPECT_TRUE(errors().empty());
}

TEST_F(RealPlaybackTest, PauseAndSeekOnARealClip) {
    startWithMovie();
    mediatest::MediaClips clips;
    choose(flashItem(clips.clip("flv")));
    playChosen();
    poll();
    ASSERT_EQ(state<std::string>("playStatus"), "Playing");
    event("pause", ui::Event::Click);
    waitIdle();
    EXPECT_EQ(state<std::string>("playStatus"), "Paused");

    // Seeking to the middle of the two seconds lands on second 1, paused still.
    event("mpposibar", ui::Event::MouseDown, ui::EventArgs{});
    get<ui::TrackBar>("mpposibar").setPosition(50);
    event("mpposibar", ui::Event::MouseUp, ui::EventArgs{});
    EXPECT_EQ(state<std::string>("playStatus"), "Seeking");
    poll();
    EXPECT_EQ(state<std::string>("playStatus"), "Paused");
    // While paused the poll stands still; play resumes it.
    event("play", ui::Event::Click);
    poll();
    EXPECT_EQ(state<std::string>("playStatus"), "Playing");
    EXPECT_TRUE(errors().empty());
}

TEST_F(RealPlaybackTest, LinksThatCannotPlayShowAConnectionError) {
    startWithMovie(2s);
    mediatest::MediaClips clips;
    for (const std::string& link :
         {clips.file("missing.flv"), clips.write("words.flv", "not a video at all\n")}) {
        choose(flashItem(link));
        playChosen();
        poll();
        EXPECT_EQ(state<std::string>("playStatus"), "Connection Error") << link;
        EXPECT_EQ(caption("Label19"), "Connection Error");
        EXPECT_EQ(caption("titlestatus"), "Connection Error");
    }
    EXPECT_TRUE(errors().empty());
}

TEST_F(RealPlaybackTest, WithoutItsMovieFileTheProgramStartsAndStillPlays) {
    std::filesystem::remove("fl8b.swf");
    startWithMovie();
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_EQ(errors().front(),
              "Cannot load the player movie ./fl8b.swf into layer 1: the file cannot be read.");
    mediatest::MediaClips clips;
    choose(flashItem(clips.clip("flv")));
    playChosen();
    poll();
    // The embedded movie does not answer the status, so the status line keeps
    // what the request showed, while the time moves.
    EXPECT_EQ(errors().size(), 1u);
    EXPECT_EQ(caption("Label19"), "");
    EXPECT_EQ(state<int>("flashMaxTime"), 2);
}

} // namespace
