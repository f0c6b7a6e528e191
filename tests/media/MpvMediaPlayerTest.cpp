#include <gtest/gtest.h>

#include "MediaClips.h"
#include "SilentServer.h"
#include "platform/MpvMediaPlayer.h"
#include "support/Eventually.h"

#include <chrono>
#include <functional>
#include <thread>

namespace {

using testsupport::eventually;

using namespace std::chrono_literals;
using platform::MediaError;
using platform::MediaMode;
using platform::MpvMediaPlayer;

bool carriedOut(const std::string& message) {
    return message.find("carried out") != std::string::npos;
}

struct MpvMediaPlayerFixture : ::testing::Test {
    mediatest::MediaClips clips;
    MpvMediaPlayer player;
};

TEST_F(MpvMediaPlayerFixture, EveryWorkerFormatOpensStoppedAtItsStart) {
    // Each open replaces the media before it; no close in between.
    for (const std::string ext : {"wmv", "asf", "wma", "flv"}) {
        SCOPED_TRACE(ext);
        const auto result = player.open(clips.clip(ext));
        ASSERT_TRUE(result.success) << result.message;
        EXPECT_TRUE(carriedOut(result.message));
        EXPECT_EQ(player.message(), result.message);
        EXPECT_TRUE(player.lastResult().success);
        EXPECT_EQ(player.mode(), MediaMode::Stopped);
        EXPECT_NEAR(player.length(), mediatest::MediaClips::lengthMs, 150);
        EXPECT_LT(player.position(), 100);
        const auto frames = player.frameCount();
        if (ext == "wma")
            EXPECT_EQ(frames, 0);
        else
            EXPECT_NEAR(frames, 2 * mediatest::MediaClips::framesPerSecond, 5);
    }
    player.close();
    EXPECT_TRUE(carriedOut(player.message()));
    EXPECT_EQ(player.mode(), MediaMode::NotOpen);
    EXPECT_EQ(player.length(), 0);
    EXPECT_EQ(player.position(), 0);
}

TEST_F(MpvMediaPlayerFixture, PlayPauseToggleAndStop) {
    ASSERT_TRUE(player.open(clips.clip("wmv")).success);
    player.play();
    EXPECT_TRUE(carriedOut(player.message()));
    EXPECT_EQ(player.mode(), MediaMode::Playing);
    ASSERT_TRUE(eventually([&] { return player.position() > 200; }));

    player.pauseToggle();
    EXPECT_EQ(player.mode(), MediaMode::Paused);
    const auto pausedAt = player.position();
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(player.position(), pausedAt);

    player.pauseToggle();
    EXPECT_EQ(player.mode(), MediaMode::Playing);
    EXPECT_TRUE(eventually([&] { return player.position() > pausedAt; }));

    player.stop();
    EXPECT_EQ(player.mode(), MediaMode::Stopped);
    const auto stoppedAt = player.position();
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(player.position(), stoppedAt);
    // A stopped medium toggles into pause, and the next toggle plays it.
    player.pauseToggle();
    EXPECT_EQ(player.mode(), MediaMode::Paused);
    player.pauseToggle();
    EXPECT_EQ(player.mode(), MediaMode::Playing);
}

TEST_F(MpvMediaPlayerFixture, SeeksLandWhereAskedWithinTheMedium) {
    ASSERT_TRUE(player.open(clips.clip("asf")).success);
    const auto length = player.length();
    player.setPosition(1000);
    EXPECT_TRUE(carriedOut(player.message()));
    EXPECT_NEAR(player.position(), 1000, 60);
    player.seekToStart();
    EXPECT_LT(player.position(), 60);
    player.setPosition(-500);
    EXPECT_LT(player.position(), 60);
    player.setPosition(length * 10);
    EXPECT_GE(player.position(), length - 100);
    EXPECT_LE(player.position(), length);

    // Seeking while playing keeps it playing.
    player.seekToStart();
    player.play();
    player.setPosition(500);
    EXPECT_EQ(player.mode(), MediaMode::Playing);
    EXPECT_TRUE(eventually([&] { return player.position() > 600; }));
}

TEST_F(MpvMediaPlayerFixture, PlayAtTheEndStartsFromTheBeginning) {
    // Played to the end, a medium is at its length: a clip's last frame starts short
    // of it, and the worker's progress would never read 100 %.
    ASSERT_TRUE(player.open(clips.clip("wmv")).success);
    player.setPosition(player.length() - 300);
    player.play();
    ASSERT_TRUE(eventually([&] { return player.mode() == MediaMode::Stopped; }));
    EXPECT_EQ(player.position(), player.length());

    ASSERT_TRUE(player.open(clips.clip("wma")).success);
    const auto length = player.length();
    player.setPosition(length - 300);
    player.play();
    ASSERT_TRUE(eventually([&] { return player.mode() == MediaMode::Stopped; }));
    EXPECT_EQ(player.position(), length);

    player.play();
    EXPECT_EQ(player.mode(), MediaMode::Playing);
    EXPECT_LT(player.position(), length / 2);
    EXPECT_TRUE(eventually([&] { return player.position() > 100; }));
}

TEST_F(MpvMediaPlayerFixture, VolumeWindowAndRectangleLastAcrossOpens) {
    player.setVolume(500);
    EXPECT_TRUE(carriedOut(player.message()));
    EXPECT_EQ(player.volume(), 500);
    player.setVolume(-20);
    EXPECT_EQ(player.volume(), 0);
    player.setVolume(4000);
    EXPECT_EQ(player.volume(), 1000);
    player.setVolume(250);
    player.setDisplayWindow(0x2a00007);
    player.setDisplayRect({0, 0, 320, 240});

    ASSERT_TRUE(player.open(clips.clip("wmv")).success);
    EXPECT_EQ(player.volume(), 250);
    EXPECT_EQ(player.displayWindow(), 0x2a00007u);
    EXPECT_EQ(player.displayRect(), (platform::DisplayRect{0, 0, 320, 240}));
    player.setDisplayRect({0, 0, 1, 1});
    EXPECT_EQ(player.displayRect(), (platform::DisplayRect{0, 0, 1, 1}));
    player.setVolume(1000);
    player.play();
    EXPECT_EQ(player.mode(), MediaMode::Playing);
}

TEST_F(MpvMediaPlayerFixture, FailedOpensSayWhyAndTheNextOpenWorks) {
    const std::vector<std::string> bad = {
        clips.file("missing.wmv"),
        clips.write("notes.txt", "This is a text file, not a clip.\nSecond line.\n"),
        clips.write("fake.wmv", std::string(4096, 'Q')),
        clips.write("empty.asf", ""),
    };
    for (const auto& address : bad) {
        SCOPED_TRACE(address);
        const auto result = player.open(address);
        EXPECT_FALSE(result.success);
        EXPECT_FALSE(player.lastResult().success);
        EXPECT_FALSE(carriedOut(result.message));
        EXPECT_NE(result.message.find(address), std::string::npos) << result.message;
        EXPECT_EQ(player.message(), result.message);
        EXPECT_EQ(player.mode(), MediaMode::NotOpen);
        if (address == bad[0]) {
            EXPECT_NE(result.message.find("no such file"), std::string::npos) << result.message;
        }
        EXPECT_THROW(player.pauseToggle(), MediaError);

        const auto good = player.open(clips.clip("wmv"));
        EXPECT_TRUE(good.success) << good.message;
        EXPECT_NEAR(player.length(), mediatest::MediaClips::lengthMs, 150);
    }
}

TEST_F(MpvMediaPlayerFixture, AnOpenThatNeverCompletesGivesUpAndLeavesThePlayerUsable) {
    // A server that takes the connection and never answers.
    const mediatest::SilentServer silent;
    const std::string url = silent.url("/stream.wmv");

    platform::MpvPlayerOptions options;
    options.openTimeout = 500ms;
    MpvMediaPlayer impatient(options);
    const auto result = impatient.open(url);
    EXPECT_FALSE(result.success);
    EXPECT_FALSE(carriedOut(result.message));
    EXPECT_EQ(impatient.mode(), MediaMode::NotOpen);

    const auto good = impatient.open(clips.clip("flv"));
    EXPECT_TRUE(good.success) << good.message;
    impatient.play();
    EXPECT_EQ(impatient.mode(), MediaMode::Playing);
}

TEST_F(MpvMediaPlayerFixture, CommandsWithNothingOpenRaiseAClearError) {
    const std::vector<std::pair<const char*, std::function<void()>>> commands = {
        {"pause toggle", [&] { player.pauseToggle(); }},
        {"seek to start", [&] { player.seekToStart(); }},
        {"set position", [&] { player.setPosition(1000); }},
        {"play", [&] { player.play(); }},
        {"stop", [&] { player.stop(); }},
    };
    auto checkAll = [&] {
        for (const auto& [name, run] : commands) {
            SCOPED_TRACE(name);
            try {
                run();
                ADD_FAILURE() << "no error";
            } catch (const MediaError& e) {
                EXPECT_NE(std::string(e.what()).find("No media is open"), std::string::npos)
                    << e.what();
                EXPECT_FALSE(player.lastResult().success);
                EXPECT_EQ(player.message(), e.what());
            }
        }
        EXPECT_EQ(player.position(), 0);
        EXPECT_EQ(player.length(), 0);
        EXPECT_EQ(player.frameCount(), 0);
        EXPECT_EQ(player.mode(), MediaMode::NotOpen);
    };
    checkAll(); // never opened
    player.close();
    EXPECT_TRUE(player.lastResult().success);

    ASSERT_TRUE(player.open(clips.clip("wmv")).success);
    player.close();
    checkAll(); // closed
}

TEST_F(MpvMediaPlayerFixture, TheOwningWorkerThreadMayBeAnotherThanTheCreator) {
    const std::string clip = clips.clip("wmv");
    bool opened = false;
    bool played = false;
    std::thread worker([&] {
        opened = player.open(clip).success;
        if (!opened)
            return;
        player.play();
        played = eventually([&] { return player.position() > 100; });
        player.close();
    });
    worker.join();
    EXPECT_TRUE(opened);
    EXPECT_TRUE(played);
    EXPECT_EQ(player.mode(), MediaMode::NotOpen);
}

} // namespace
