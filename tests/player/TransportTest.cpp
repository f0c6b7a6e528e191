// The status poll and the transport bar on the movie route, against replies of
// every form the movie may give.
#include <gtest/gtest.h>

#include "PlaybackFixture.h"
#include "app/MainWindow.h"
#include "player/MovieRequest.h"
#include "ui/Application.h"
#include "ui/Image.h"
#include "ui/Timer.h"

namespace {

using playertest::PlaybackFixture;

class TransportTest : public PlaybackFixture {
  protected:
    void SetUp() override {
        PlaybackFixture::SetUp();
        startScripted();
        choose(flashItem());
        app->dispatch([&] { get<ui::Image>("featurepic1").onClick(); });
        scripted->requests.clear();
    }
    void reply(const std::string& status, const std::string& played, const std::string& total) {
        scripted->replies["statusVideo"] = status;
        scripted->replies["playedVideo"] = played;
        scripted->replies["maxTimeVideo"] = total;
    }
    void press(const std::string& button) {
        app->dispatch([&] { get<ui::Button>(button).onClick(); });
    }
    void slide(const std::string& bar, int position, ui::Event e) {
        get<ui::TrackBar>(bar).setPosition(position);
        app->dispatch([&] {
            auto& b = get<ui::TrackBar>(bar);
            if (e == ui::Event::Change)
                b.onChange();
            else if (e == ui::Event::MouseDown)
                b.onMouseDown(ui::MouseButton::Left, 1, 1);
            else
                b.onMouseUp(ui::MouseButton::Left, 1, 1);
        });
    }
};

TEST_F(TransportTest, APollShowsStatusPercentageAndTime) {
    reply("<string>+playing</string>", "<number>12.5</number>", "<number>50</number>");
    advance(1000);
    EXPECT_TRUE(errors().empty());
    EXPECT_EQ(scripted->requests, (std::vector<player::MovieRequest>{{"statusVideo", "status"},
                                                                     {"playedVideo", "played"},
                                                                     {"maxTimeVideo", "maxTime"}}));
    EXPECT_EQ(state<std::string>("playStatus"), "Playing");
    EXPECT_EQ(caption("Label19"), "Playing");
    EXPECT_EQ(caption("titlestatus"), "Playing");
    EXPECT_EQ(state<int>("flashMaxTime"), 50);
    EXPECT_EQ(caption("minleft"), "24%");
    EXPECT_EQ(get<ui::TrackBar>("mpposibar").position(), 24);
    EXPECT_EQ(caption("secleft"), "0 : 12");

    // Once a second while enabled.
    advance(1000);
    EXPECT_EQ(scripted->argumentsOf("statusVideo").size(), 2u);
}

TEST_F(TransportTest, AStatusWithoutPlusOrAFailingStatusLeavesTheStatus) {
    reply("<string>+buffering</string>", "<number>65</number>", "<number>130</number>");
    advance(1000);
    EXPECT_EQ(state<std::string>("playStatus"), "Buffering..");
    scripted->replies["statusVideo"] = "<string>playing</string>";
    advance(1000);
    EXPECT_EQ(state<std::string>("playStatus"), "Buffering..");
    scripted->replies["statusVideo"] = "<string>+dancing</string>";
    advance(1000);
    EXPECT_EQ(state<std::string>("playStatus"), "Buffering..");

    // The status request is the one that may fail quietly: the rest of the poll runs.
    scripted->failing["statusVideo"] = true;
    scripted->replies["playedVideo"] = "<number>75.9</number>";
    advance(1000);
    EXPECT_TRUE(errors().empty());
    EXPECT_EQ(state<std::string>("playStatus"), "Buffering..");
    EXPECT_EQ(caption("secleft"), "1 : 15");
    EXPECT_EQ(caption("minleft"), "57%");
}

TEST_F(TransportTest, ATotalOfZeroGivesZeroPercent) {
    reply("<string>+playing</string>", "<number>3</number>", "<number>40</number>");
    advance(1000);
    EXPECT_EQ(get<ui::TrackBar>("mpposibar").position(), 7);
    scripted->replies["maxTimeVideo"] = "<number>0</number>";
    advance(1000);
    EXPECT_EQ(state<int>("flashMaxTime"), 0);
    EXPECT_EQ(caption("minleft"), "0%");
    EXPECT_EQ(get<ui::TrackBar>("mpposibar").position(), 0);
}

TEST_F(TransportTest, ANullLengthLeavesPercentageAndSliderButMovesTheTime) {
    reply("<string>+playing</string>", "<number>10</number>", "<number>40</number>");
    advance(1000);
    EXPECT_EQ(caption("minleft"), "25%");
    reply("<string>+loading</string>", "<number>20.75</number>", "<string>null</string>");
    advance(1000);
    EXPECT_EQ(state<std::string>("playStatus"), "Loading..");
    EXPECT_EQ(state<int>("flashMaxTime"), 40);
    EXPECT_EQ(caption("minleft"), "25%");
    EXPECT_EQ(get<ui::TrackBar>("mpposibar").position(), 25);
    EXPECT_EQ(caption("secleft"), "0 : 20");
}

TEST_F(TransportTest, APlayedReplyThatDoesNotConvertCountsAsZero) {
    reply("<string>+playing</string>", "<string>soon</string>", "<number>40</number>");
    advance(1000);
    EXPECT_EQ(caption("secleft"), "0 : 00");
    EXPECT_EQ(caption("minleft"), "0%");
}

TEST_F(TransportTest, AFailingPollRequestIsReportedAndPollingGoesOn) {
    reply("<string>+playing</string>", "<number>5</number>", "<number>40</number>");
    scripted->failing["playedVideo"] = true;
    advance(1000);
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_EQ(errors().front(), "the movie failed playedVideo");
    EXPECT_EQ(scripted->argumentsOf("maxTimeVideo").size(), 0u);
    scripted->failing.clear();
    advance(1000);
    EXPECT_EQ(errors().size(), 1u);
    EXPECT_EQ(caption("secleft"), "0 : 05");
}

TEST_F(TransportTest, PauseTogglesAndAPausedPollAsksNothing) {
    reply("<string>+playing</string>", "<number>5</number>", "<number>40</number>");
    advance(1000);
    press("pause");
    EXPECT_EQ(scripted->argumentsOf("pauseVideo"), std::vector<std::string>{"Pause"});
    EXPECT_EQ(state<std::string>("playStatus"), "Paused");
    EXPECT_EQ(caption("Label19"), "Paused");
    EXPECT_EQ(caption("titlestatus"), "Paused");
    const auto asked = scripted->requests.size();
    advance(3000);
    EXPECT_EQ(scripted->requests.size(), asked);

    press("pause");
    EXPECT_EQ(state<std::string>("playStatus"), "Playing");
    EXPECT_EQ(scripted->argumentsOf("pauseVideo"), (std::vector<std::string>{"Pause", "Pause"}));
}

TEST_F(TransportTest, PlayResumesOnlyWhenTheStatusLineIsNotPlaying) {
    // Right after the request the status line reads "Loading..".
    press("play");
    EXPECT_EQ(scripted->argumentsOf("pauseVideo"), std::vector<std::string>{"Resume"});
    EXPECT_EQ(state<std::string>("playStatus"), "Playing");
    EXPECT_EQ(caption("Label19"), "Playing");
    scripted->requests.clear();
    press("play");
    EXPECT_TRUE(scripted->requests.empty());
}

TEST_F(TransportTest, StopEndsPollingAndShowsTheIdleScreen) {
    press("stop");
    EXPECT_EQ(scripted->requests, (std::vector<player::MovieRequest>{{"stopVideo", "Stop"}}));
    EXPECT_FALSE(get<ui::Timer>("threadtimer").enabled());
    EXPECT_EQ(state<std::string>("playStatus"), "Stopped");
    EXPECT_EQ(caption("Label19"), "Stopped");
    EXPECT_FALSE(get<ui::Button>("floatvideobutton").enabled());
    EXPECT_FALSE(get<ui::Button>("suiImageButton26").enabled());
    auto& idle = get<ui::Panel>("Panel2");
    EXPECT_TRUE(idle.visible());
    EXPECT_EQ(idle.zIndex(), static_cast<int>(idle.parent()->children().size()) - 1);
}

TEST_F(TransportTest, SeekingHoldsThePollAndJumpsToTheSecond) {
    reply("<string>+playing</string>", "<number>5</number>", "<number>121</number>");
    advance(1000);
    slide("mpposibar", 50, ui::Event::MouseDown);
    EXPECT_FALSE(get<ui::Timer>("threadtimer").enabled());
    slide("mpposibar", 50, ui::Event::MouseUp);
    EXPECT_EQ(scripted->argumentsOf("timeVideo"), std::vector<std::string>{"60"});
    EXPECT_EQ(state<std::string>("playStatus"), "Seeking");
    EXPECT_EQ(caption("Label19"), "Seeking");
    EXPECT_TRUE(get<ui::Timer>("threadtimer").enabled());
}

TEST_F(TransportTest, TheVolumeIsSentInTenths) {
    slide("previewvolume", 1000, ui::Event::Change);
    slide("previewvolume", 5, ui::Event::Change);
    slide("previewvolume", 500, ui::Event::Change);
    EXPECT_EQ(scripted->argumentsOf("volumeVideo"), (std::vector<std::string>{"100", "0", "50"}));
}

TEST_F(TransportTest, TheBusyAnimationDisablesTheThreeButtons) {
    auto& busy = get<ui::Animation>("Animate1");
    busy.setActive(true);
    for (const char* b : {"play", "pause", "stop"})
        EXPECT_FALSE(get<ui::Button>(b).enabled()) << b;
    EXPECT_TRUE(get<ui::Button>("fullscreenbutton").enabled());
    busy.setActive(false);
    for (const char* b : {"play", "pause", "stop"})
        EXPECT_TRUE(get<ui::Button>(b).enabled()) << b;
}

} // namespace
