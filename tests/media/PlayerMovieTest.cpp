// The player movie on real clips, with mpv's null outputs: requests in, replies out.
#include <gtest/gtest.h>

#include "MediaClips.h"
#include "SilentServer.h"
#include "platform/MpvLibrary.h"
#include "player/MovieRequest.h"
#include "player/PlayerMovie.h"
#include "player/PollReplies.h"
#include "support/Eventually.h"

#include <chrono>
#include <functional>
#include <thread>

namespace {

using testsupport::eventually;

using namespace std::chrono_literals;
using player::invokeText;
using player::MovieError;
using player::PlayerMovie;

struct PlayerMovieTest : ::testing::Test {
    void SetUp() override {
        movie.loadMovie(1, clips.write("fl8b.swf", "ZORVEX PLAYER MOVIE 1\n"));
    }
    std::string call(const std::string& name, const std::string& argument) {
        return movie.callFunction(invokeText(name, argument));
    }
    std::string status() { return player::stateWordOf(call("statusVideo", "status")); }
    int played() {
        return player::toInteger(player::secondsTextOf(call("playedVideo", "played"))).value_or(-1);
    }
    std::string total() { return player::secondsTextOf(call("maxTimeVideo", "maxTime")); }
    void settle() {
        ASSERT_TRUE(eventually([&] { return movie.idle(); }));
    }

    mediatest::MediaClips clips;
    PlayerMovie movie{player::PlayerMovieOptions{std::chrono::milliseconds(3000)}};
};

TEST_F(PlayerMovieTest, PlaysAClipAndAnswersStatusPlayedAndLength) {
    // Nothing has been played: libmpv is not even loaded yet, and the length unknown.
    EXPECT_EQ(status(), "stopped");
    EXPECT_EQ(total(), "null");
    EXPECT_EQ(played(), 0);
    EXPECT_FALSE(platform::mpvLibraryLoaded());

    EXPECT_EQ(call("playVideo", clips.clip("flv")), player::voidReply());
    EXPECT_EQ(status(), "loading");
    call("resumeVideo", "Resume");
    settle();
    EXPECT_TRUE(platform::mpvLibraryLoaded());
    EXPECT_EQ(status(), "playing");
    EXPECT_EQ(total(), "2");
    EXPECT_TRUE(eventually([&] { return played() >= 1; }));

    call("pauseVideo", "Pause");
    settle();
    EXPECT_EQ(status(), "paused");
    call("pauseVideo", "Pause");
    settle();
    EXPECT_EQ(status(), "playing");
    call("pauseVideo", "Pause");
    call("pauseVideo", "Resume");
    settle();
    EXPECT_EQ(status(), "playing");

    // It plays to its end and stops there.
    EXPECT_TRUE(eventually([&] { return status() == "stopped"; }));
    EXPECT_EQ(played(), 2);
}

TEST_F(PlayerMovieTest, SeekStopAndVolume) {
    call("playVideo", clips.clip("flv"));
    call("pauseVideo", "Pause");
    settle();
    ASSERT_EQ(status(), "paused");
    call("timeVideo", "1");
    settle();
    EXPECT_EQ(status(), "paused");
    EXPECT_TRUE(eventually([&] { return played() == 1; }));
    call("volumeVideo", "0");
    call("volumeVideo", "100");
    call("stopVideo", "Stop");
    settle();
    EXPECT_EQ(status(), "stopped");
    EXPECT_TRUE(eventually([&] { return played() == 0; }));
    call("resumeVideo", "Resume");
    settle();
    EXPECT_EQ(status(), "playing");
}

TEST_F(PlayerMovieTest, LinksThatCannotPlayAreConnectionErrors) {
    call("playVideo", clips.file("missing.flv"));
    settle();
    EXPECT_EQ(status(), "connectionError");
    EXPECT_NE(movie.lastError().find("no such file"), std::string::npos) << movie.lastError();
    EXPECT_EQ(total(), "null");

    call("playVideo", clips.write("text.flv", "this is not a video, only some words\n"));
    settle();
    EXPECT_EQ(status(), "connectionError");

    // The next good link plays.
    call("playVideo", clips.clip("flv"));
    settle();
    EXPECT_EQ(status(), "playing");
}

TEST_F(PlayerMovieTest, AServerThatNeverAnswersIsAConnectionErrorWithinTheOpenTimeOut) {
    // A server that takes the connection and never answers.
    const mediatest::SilentServer silent;
    const std::string link = silent.url("/never.flv");

    call("playVideo", link);
    // While it waits, the queries still answer at once.
    EXPECT_EQ(status(), "loading");
    EXPECT_EQ(total(), "null");
    settle();
    EXPECT_EQ(status(), "connectionError");
    EXPECT_NE(movie.lastError().find("no answer"), std::string::npos) << movie.lastError();
}

TEST_F(PlayerMovieTest, BadRequestsAreErrorsOfThatRequest) {
    EXPECT_THROW(call("rewindVideo", "x"), MovieError);
    EXPECT_THROW(call("widthVideo", ""), MovieError);
    EXPECT_THROW(movie.callFunction("<invoke name=\"stopVideo\">"), MovieError);
    EXPECT_THROW(call("pauseVideo", "Halt"), MovieError);
    EXPECT_THROW(call("stopVideo", "stop"), MovieError);
    EXPECT_THROW(call("statusVideo", "state"), MovieError);
    for (const char* volume : {"101", "-1", "+5", "abc", "", "5.5"})
        EXPECT_THROW(call("volumeVideo", volume), MovieError) << volume;
    for (const char* seconds : {"-3", "1.5", "x", "86401"})
        EXPECT_THROW(call("timeVideo", seconds), MovieError) << seconds;
    // Nothing was queued by them.
    EXPECT_TRUE(movie.idle());
    EXPECT_FALSE(platform::mpvLibraryLoaded());
}

TEST(PlayerMovieFile, OnlyAPlayerMovieLoadsAndWithoutItStatusIsNotAnswered) {
    mediatest::MediaClips clips;
    PlayerMovie movie;
    EXPECT_THROW(movie.loadMovie(1, clips.file("absent.swf")), MovieError);
    EXPECT_THROW(movie.loadMovie(1, clips.write("other.swf", "FWS\x08")), MovieError);
    EXPECT_EQ(movie.moviePath(), "");
    // The movie embedded in the control answers everything but the status.
    EXPECT_THROW(movie.callFunction(invokeText("statusVideo", "status")), MovieError);
    EXPECT_EQ(movie.callFunction(invokeText("maxTimeVideo", "maxTime")), player::nullReply());

    const std::string path = clips.write("fl8b.swf", "ZORVEX PLAYER MOVIE 1\r\nrest\n");
    movie.loadMovie(1, path);
    EXPECT_EQ(movie.moviePath(), path);
    EXPECT_EQ(movie.callFunction(invokeText("statusVideo", "status")),
              player::stateReply("stopped"));
}

} // namespace
