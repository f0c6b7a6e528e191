// The media worker's thread and commands. The poll arithmetic and the player
// errors run against a scripted player that stands still where told; opening and
// playing run real clips through libmpv with null outputs.

#include <gtest/gtest.h>

#include "MediaClips.h"
#include "platform/MpvMediaPlayer.h"
#include "player/MediaWorker.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

using player::MediaWorker;
using player::WorkerCommand;
using player::WorkerInputs;
using player::WorkerUpdate;

namespace {

// A player whose position and length are set by the test. Pause and seek with
// nothing open throw, as a real player does.
class ScriptedPlayer final : public platform::MediaPlayer {
  public:
    struct Script {
        std::mutex mutex;
        std::int64_t position = 0;
        std::int64_t length = 1000;
        bool openSucceeds = true;
        std::vector<std::string> calls;
        platform::DisplayRect rect;
    };
    explicit ScriptedPlayer(Script& script) : s_(script) {}

    platform::MediaResult open(std::string_view address) override {
        std::lock_guard lock(s_.mutex);
        s_.calls.push_back("open " + std::string(address));
        open_ = s_.openSucceeds;
        result_ = open_ ? platform::MediaResult{}
                        : platform::MediaResult{false, "The file cannot be played."};
        return result_;
    }
    void close() noexcept override {
        record("close");
        open_ = false;
    }
    void play() override { need("play"); }
    void stop() override { need("stop"); }
    void pauseToggle() override { need("pause"); }
    void seekToStart() override { need("rewind"); }
    void setPosition(std::int64_t ms) override { need("seek " + std::to_string(ms)); }
    std::int64_t position() override {
        std::lock_guard lock(s_.mutex);
        return open_ ? s_.position : 0;
    }
    std::int64_t length() override {
        std::lock_guard lock(s_.mutex);
        return open_ ? s_.length : 0;
    }
    std::int64_t frameCount() override { return open_ ? 25 : 0; }
    platform::MediaMode mode() override {
        return open_ ? platform::MediaMode::Stopped : platform::MediaMode::NotOpen;
    }
    void setDisplayWindow(platform::NativeWindow w) override { window_ = w; }
    platform::NativeWindow displayWindow() const override { return window_; }
    void setDisplayRect(const platform::DisplayRect& r) override {
        std::lock_guard lock(s_.mutex);
        s_.rect = r;
    }
    platform::DisplayRect displayRect() const override { return s_.rect; }
    void setVolume(int v) override { volume_ = v; }
    int volume() const override { return volume_; }
    const platform::MediaResult& lastResult() const override { return result_; }

  private:
    void record(std::string call) {
        std::lock_guard lock(s_.mutex);
        s_.calls.push_back(std::move(call));
    }
    void need(std::string call) {
        if (!open_)
            throw platform::MediaError("No MCI device open.");
        record(std::move(call));
    }
    Script& s_;
    bool open_ = false;
    platform::NativeWindow window_ = 0;
    int volume_ = 0;
    platform::MediaResult result_;
};

// Collects the worker's updates as the user-interface thread would receive them.
class Updates {
  public:
    MediaWorker::Sink sink() {
        return [this](WorkerUpdate u) {
            std::lock_guard lock(mutex_);
            if (u.commandDone)
                ++done_;
            all_.push_back(std::move(u));
            changed_.notify_all();
        };
    }
    // Waits until `count` commands have been finished in all.
    void waitDone(int count) {
        std::unique_lock lock(mutex_);
        ASSERT_TRUE(changed_.wait_for(lock, std::chrono::seconds(60), [&] {
            return done_ >= count;
        })) << "the worker did not finish its command";
    }
    std::vector<WorkerUpdate> take() {
        std::lock_guard lock(mutex_);
        return std::exchange(all_, {});
    }
    // The statuses written to the status line, in order.
    std::vector<std::string> shownStatuses() {
        std::vector<std::string> out;
        for (const auto& u : take())
            if (u.status && u.showStatus)
                out.push_back(*u.status);
        return out;
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<WorkerUpdate> all_;
    int done_ = 0;
};

template <class T>
std::optional<T> last(const std::vector<WorkerUpdate>& all, std::optional<T> WorkerUpdate::*field) {
    std::optional<T> out;
    for (const auto& u : all)
        if ((u.*field))
            out = u.*field;
    return out;
}

// The slot empties just after the last report of a command.
void waitIdle(const MediaWorker& worker) {
    while (!worker.idle())
        std::this_thread::yield();
}

WorkerInputs inputs(int barPosition = 0) {
    WorkerInputs in;
    in.volume = 500;
    in.barPosition = barPosition;
    in.panelWidth = 340;
    in.panelHeight = 245;
    in.playMode = 1;
    return in;
}

class ScriptedWorker : public ::testing::Test {
  protected:
    ScriptedPlayer::Script script_;
    Updates updates_;
    MediaWorker worker_{[this] { return std::make_unique<ScriptedPlayer>(script_); },
                        updates_.sink()};
    int commands_ = 0;

    void run(WorkerCommand command, WorkerInputs in = inputs()) {
        worker_.post(command, in);
        updates_.waitDone(++commands_);
        waitIdle(worker_);
    }
    void openAndPlay() {
        worker_.setLink("clip.wmv");
        run(WorkerCommand::Play);
        updates_.take();
    }
};

TEST(ProgressText, IsRoundedAndRightAlignedInThreeCharacters) {
    EXPECT_EQ(player::progressText(50, 1000), "  5");
    EXPECT_EQ(player::progressText(995, 1000), "100");
    EXPECT_EQ(player::progressText(333, 1000), " 33");
    EXPECT_EQ(player::progressText(10, 0), "  0");
    EXPECT_EQ(player::elapsedText(65'000), "1 : 05");
    EXPECT_EQ(player::elapsedText(130'000), "2 : 10");
}

TEST_F(ScriptedWorker, PlayOpensTheLinkAndShowsTheStatusesInOrder) {
    worker_.setLink("clip.wmv");
    run(WorkerCommand::Play);
    const auto all = updates_.take();
    std::vector<std::string> shown;
    for (const auto& u : all)
        if (u.status && u.showStatus)
            shown.push_back(*u.status);
    EXPECT_EQ(shown, (std::vector<std::string>{"Loading..", "Buffering..", "Playing"}));
    EXPECT_EQ(last(all, &WorkerUpdate::pollTimer), true);
    EXPECT_EQ(last(all, &WorkerUpdate::busy), false);
    EXPECT_EQ(last(all, &WorkerUpdate::menuCaption), "Play Video ");
    EXPECT_EQ(last(all, &WorkerUpdate::openFailed), false);
    EXPECT_TRUE(worker_.idle());
}

TEST_F(ScriptedWorker, AFailedOpenShowsErrorOpening) {
    script_.openSucceeds = false;
    worker_.setLink("broken.wmv");
    run(WorkerCommand::Play);
    const auto all = updates_.take();
    EXPECT_EQ(last(all, &WorkerUpdate::openFailed), true);
    EXPECT_EQ(last(all, &WorkerUpdate::status), "Error Opening");
    EXPECT_EQ(last(all, &WorkerUpdate::busy), false);
    EXPECT_EQ(last(all, &WorkerUpdate::pollTimer), false);
}

TEST_F(ScriptedWorker, APollBelowThreeMillisecondsOnlyFitsThePicture) {
    openAndPlay();
    script_.position = 0;
    run(WorkerCommand::Poll);
    const auto all = updates_.take();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_TRUE(all[0].commandDone);
    EXPECT_EQ(script_.rect, (platform::DisplayRect{0, 0, 340, 245}));
}

TEST_F(ScriptedWorker, APollAtFiftyOfAThousandPutsTheBarAtFive) {
    openAndPlay();
    script_.position = 50;
    run(WorkerCommand::Poll);
    const auto all = updates_.take();
    EXPECT_EQ(last(all, &WorkerUpdate::minLeft), "  5%");
    EXPECT_EQ(last(all, &WorkerUpdate::barPosition), 5);
    EXPECT_EQ(last(all, &WorkerUpdate::secLeft), "0 : 00");
    EXPECT_EQ(last(all, &WorkerUpdate::status), "Playing");
}

TEST_F(ScriptedWorker, APollAtNineNinetyFiveEndsThePlayback) {
    openAndPlay();
    script_.position = 995;
    run(WorkerCommand::Poll);
    const auto all = updates_.take();
    EXPECT_EQ(last(all, &WorkerUpdate::status), "Stopped");
    EXPECT_EQ(last(all, &WorkerUpdate::barPosition), 0);
    EXPECT_EQ(last(all, &WorkerUpdate::barMax), 100);
    EXPECT_EQ(last(all, &WorkerUpdate::secLeft), "0 : 00");
    EXPECT_EQ(last(all, &WorkerUpdate::minLeft), "0%");
    EXPECT_EQ(last(all, &WorkerUpdate::pollTimer), false);
}

TEST_F(ScriptedWorker, TwoPollsWithoutProgressShowBuffering) {
    openAndPlay();
    script_.position = 300;
    run(WorkerCommand::Poll, inputs(30)); // no progress: stalled from now
    EXPECT_TRUE(updates_.shownStatuses().empty());
    run(WorkerCommand::Poll, inputs(30));
    EXPECT_EQ(updates_.shownStatuses(), (std::vector<std::string>{"Buffering.."}));
    script_.position = 400;
    run(WorkerCommand::Poll, inputs(30));
    EXPECT_EQ(updates_.shownStatuses(), (std::vector<std::string>{"Playing"}));
}

TEST_F(ScriptedWorker, PlayPressedWhilePausedResumesAndRunsThePlayBranchAgain) {
    openAndPlay();
    run(WorkerCommand::PauseToggle);
    EXPECT_EQ(updates_.shownStatuses(), (std::vector<std::string>{"Paused"}));
    run(WorkerCommand::Play);
    EXPECT_EQ(updates_.shownStatuses(),
              (std::vector<std::string>{"Loading..", "Buffering..", "Playing"}));
    std::lock_guard lock(script_.mutex);
    const std::vector<std::string> tail(script_.calls.end() - 3, script_.calls.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"pause", "pause", "play"}));
}

TEST_F(ScriptedWorker, APauseOrSeekWithNothingOpenDoesNotEndTheWorker) {
    script_.openSucceeds = false;
    worker_.setLink("broken.wmv");
    run(WorkerCommand::Play);
    updates_.take();
    run(WorkerCommand::PauseToggle);
    EXPECT_EQ(last(updates_.take(), &WorkerUpdate::busy), false);
    run(WorkerCommand::Seek, inputs(50));
    EXPECT_EQ(last(updates_.take(), &WorkerUpdate::busy), false);
    EXPECT_TRUE(worker_.idle());
    // The next play request works.
    script_.openSucceeds = true;
    worker_.setLink("clip.wmv");
    run(WorkerCommand::Play);
    EXPECT_EQ(last(updates_.take(), &WorkerUpdate::status), "Playing");
}

TEST_F(ScriptedWorker, ASuspendedWorkerKeepsItsCommandUntilResumed) {
    worker_.suspend();
    EXPECT_TRUE(worker_.suspended());
    worker_.setLink("clip.wmv");
    worker_.post(WorkerCommand::Play, inputs());
    // Whatever time it gets, a suspended worker does not take the command.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(worker_.pending(), WorkerCommand::Play);
    EXPECT_TRUE(worker_.resting());
    EXPECT_TRUE(updates_.take().empty());
    {
        std::lock_guard lock(script_.mutex);
        EXPECT_TRUE(script_.calls.empty());
    }
    worker_.resume();
    EXPECT_FALSE(worker_.suspended());
    updates_.waitDone(1);
    waitIdle(worker_);
    EXPECT_EQ(updates_.shownStatuses(),
              (std::vector<std::string>{"Loading..", "Buffering..", "Playing"}));
}

TEST_F(ScriptedWorker, ASuspendedWorkerTakesNoFurtherCommandAndEndsWhenAsked) {
    openAndPlay();
    worker_.suspend();
    worker_.post(WorkerCommand::PauseToggle, inputs());
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(worker_.pending(), WorkerCommand::PauseToggle);
    EXPECT_FALSE(worker_.idle());
    EXPECT_TRUE(worker_.resting());
    // Ending does not wait for a resume; the waiting command is dropped.
    worker_.end();
    std::lock_guard lock(script_.mutex);
    EXPECT_EQ(std::count(script_.calls.begin(), script_.calls.end(), "pause"), 0);
    EXPECT_EQ(script_.calls.back(), "close");
}

TEST_F(ScriptedWorker, SeekGoesToTheBarsShareOfTheLength) {
    openAndPlay();
    run(WorkerCommand::Seek, inputs(40));
    const auto all = updates_.take();
    EXPECT_EQ(last(all, &WorkerUpdate::mediaReady), true);
    std::lock_guard lock(script_.mutex);
    const std::vector<std::string> tail(script_.calls.end() - 3, script_.calls.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"pause", "seek 400", "play"}));
}

TEST_F(ScriptedWorker, StopShowsTheIdleScreenAndRewinds) {
    openAndPlay();
    run(WorkerCommand::Stop);
    const auto all = updates_.take();
    EXPECT_EQ(last(all, &WorkerUpdate::status), "Stopped");
    bool idle = false;
    for (const auto& u : all)
        idle = idle || u.idleScreen;
    EXPECT_TRUE(idle);
    EXPECT_EQ(script_.rect, (platform::DisplayRect{0, 0, 1, 1}));
}

TEST_F(ScriptedWorker, AfterCloseAndReleaseCommandsFindNoPlayerAndEndingStillWorks) {
    openAndPlay();
    run(WorkerCommand::CloseRelease);
    run(WorkerCommand::PauseToggle);
    run(WorkerCommand::Poll);
    worker_.end();
    EXPECT_TRUE(worker_.idle());
}

// Real clips through libmpv with null outputs.
class RealWorker : public ::testing::Test {
  protected:
    mediatest::MediaClips clips_;
    Updates updates_;
    MediaWorker worker_{[] { return std::make_unique<platform::MpvMediaPlayer>(); },
                        updates_.sink()};
    int commands_ = 0;
    void run(WorkerCommand command) {
        worker_.post(command, inputs());
        updates_.waitDone(++commands_);
        waitIdle(worker_);
    }
};

TEST_F(RealWorker, AClipOfAnyKindThePlayerOpensPlays) {
    for (const char* ext : {"wmv", "flv"}) {
        worker_.setLink(clips_.clip(ext));
        run(WorkerCommand::Play);
        EXPECT_EQ(updates_.shownStatuses(),
                  (std::vector<std::string>{"Loading..", "Buffering..", "Playing"}))
            << ext;
    }
}

TEST_F(RealWorker, AClipPlayedToItsEndEndsThePlayback) {
    // mpv rests on the last frame, which starts short of the clip's length; the poll
    // must still come to 100 % and stop.
    worker_.setLink(clips_.clip("wmv"));
    run(WorkerCommand::Play);
    std::optional<std::string> status;
    for (int i = 0; i < 200 && status != "Stopped"; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        run(WorkerCommand::Poll);
        if (auto latest = last(updates_.take(), &WorkerUpdate::status))
            status = latest;
    }
    EXPECT_EQ(status, "Stopped");
}

TEST_F(RealWorker, AResolvedFileLinkPlays) {
    worker_.setLink("file://" + clips_.clip("wmv") + "?MSWMExt=.asf");
    run(WorkerCommand::Play);
    EXPECT_EQ(updates_.shownStatuses(),
              (std::vector<std::string>{"Loading..", "Buffering..", "Playing"}));
}

TEST_F(RealWorker, ATruncatedFileShowsErrorOpening) {
    worker_.setLink(clips_.write("truncated.wmv", "\x30\x26\xB2\x75\x8E\x66\xCF\x11"));
    run(WorkerCommand::Play);
    EXPECT_EQ(updates_.shownStatuses(), (std::vector<std::string>{"Error Opening"}));
}

TEST_F(RealWorker, APathWithBlanksAndMultiByteCharactersLongerThanFiftyPlays) {
    const std::string source = clips_.clip("wmv");
    const std::string target =
        clips_.file("ein Ordner mit Leerzeichen und Umlauten äöü 日本 clip.wmv");
    ASSERT_GT(target.size(), 50u);
    std::filesystem::copy_file(source, target);
    worker_.setLink(target);
    run(WorkerCommand::Play);
    EXPECT_EQ(updates_.shownStatuses(),
              (std::vector<std::string>{"Loading..", "Buffering..", "Playing"}));
}

} // namespace
