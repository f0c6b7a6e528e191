// The worker route in the program: a worker-route item plays in the media worker
// (real clips, mpv with null outputs), the transport bar drives it, Timer4 wakes
// it and lets it sleep, and "Close Video" ends it.

#include <gtest/gtest.h>

#include <filesystem>

#include "MediaClips.h"
#include "PlaybackFixture.h"
#include "app/MainWindow.h"
#include "player/WorkerRoute.h"
#include "ui/Application.h"
#include "ui/Image.h"
#include "ui/Menu.h"
#include "ui/Timer.h"

namespace {

using playertest::PlaybackFixture;

class WorkerRouteTest : public PlaybackFixture {
  protected:
    void SetUp() override {
        PlaybackFixture::SetUp();
        startScripted();
    }
    // A file from disk, as "Open Local Media" gives it.
    catalogue::Item localItem(const std::string& path) {
        catalogue::Item i;
        i.mediaLink = path;
        i.title = std::filesystem::path(path).filename().string();
        i.mediaType = "video/x-ms-wmv";
        i.feedTitle = "local";
        return i;
    }
    void playItem(const catalogue::Item& item) {
        choose(item);
        form->selection().setPlayLink(item.mediaLink);
        app->dispatch([&] { get<ui::Image>("featurepic3").onClick(); });
    }
    void press(const std::string& button) {
        app->dispatch([&] { get<ui::Button>(button).onClick(); });
    }
    void menu(const std::string& item) {
        app->dispatch([&] { get<ui::MenuItem>(item).onClick(); });
    }
    std::string status() { return state<std::string>("workerStatus"); }

    mediatest::MediaClips clips;
};

TEST_F(WorkerRouteTest, ALocalClipPlaysInTheWorker) {
    const std::string path = clips.clip("wmv");
    playItem(localItem(path));
    EXPECT_EQ(caption("Label20"), "W");
    EXPECT_EQ(state<std::string>("workerLink"), path); // a local file is not resolved
    EXPECT_TRUE(state<bool>("mediaWorkerStarted"));
    ASSERT_TRUE(waitWorker());
    EXPECT_TRUE(errors().empty()) << errors().front();
    EXPECT_EQ(status(), "Playing");
    EXPECT_EQ(caption("Label19"), "Playing");
    EXPECT_EQ(caption("titlestatus"), "Playing");
    EXPECT_TRUE(get<ui::Timer>("threadtimer").enabled());
    EXPECT_FALSE(get<ui::Animation>("Animate1").active());
    EXPECT_TRUE(get<ui::TrackBar>("previewvolume").enabled());
    EXPECT_FALSE(state<bool>("localItem"));
    EXPECT_FALSE(state<bool>("openFailed"));
    EXPECT_FALSE(state<bool>("workerCommandPending"));
    EXPECT_EQ(state<int>("workerCommand"), 0);
    EXPECT_EQ(get<ui::MenuItem>("PlayVideo1").caption(), "Play Video ");
}

TEST_F(WorkerRouteTest, ACatalogueItemWithAFileLinkIsResolvedAndPlays) {
    auto item = localItem("file://" + clips.clip("wmv"));
    item.feedTitle = "Some Feed";
    playItem(item);
    EXPECT_EQ(state<std::string>("workerLink"), item.mediaLink + "?MSWMExt=.asf");
    ASSERT_TRUE(waitWorker());
    EXPECT_EQ(status(), "Playing");
}

TEST_F(WorkerRouteTest, TheWorkersStateIsReadable) {
    for (const char* name : {"workerStatus", "workerRunState", "workerCommandPending",
                             "workerCommand", "openFailed", "workerMediaReady", "lastMciMessage",
                             "mediaWorkerStarted", "mediaWorker", "newLinkPending", "workerLink"})
        EXPECT_NO_THROW(app->state().get(name)) << name;
}

TEST_F(WorkerRouteTest, TheTransportBarDrivesTheWorker) {
    playItem(localItem(clips.clip("wmv")));
    ASSERT_TRUE(waitWorker());

    // threadtimer asks the worker to poll.
    advance(1000);
    EXPECT_TRUE(state<bool>("workerCommandPending") || state<int>("workerCommand") == 0);
    ASSERT_TRUE(waitWorker());
    EXPECT_FALSE(state<bool>("workerCommandPending"));

    press("pause");
    ASSERT_TRUE(waitWorker());
    EXPECT_EQ(status(), "Paused");
    EXPECT_FALSE(get<ui::Timer>("threadtimer").enabled());

    // Play pressed while paused resumes and runs the whole play branch again.
    press("play");
    ASSERT_TRUE(waitWorker());
    EXPECT_EQ(status(), "Playing");
    EXPECT_TRUE(get<ui::Timer>("threadtimer").enabled());

    press("stop");
    ASSERT_TRUE(waitWorker());
    EXPECT_EQ(status(), "Stopped");
    EXPECT_TRUE(get<ui::Panel>("Panel2").visible());
    EXPECT_FALSE(get<ui::Button>("floatvideobutton").enabled());
}

TEST_F(WorkerRouteTest, Timer4WakesTheWorkerWhileACommandIsPendingAndLetsItSleep) {
    EXPECT_EQ(state<std::string>("workerRunState"), "");
    playItem(localItem(clips.clip("wmv")));
    advance(100);
    ASSERT_TRUE(waitWorker());
    advance(100);
    EXPECT_EQ(state<std::string>("workerRunState"), "Suspend");
    EXPECT_TRUE(state<bool>("workerSuspended"));
    EXPECT_FALSE(get<ui::Animation>("Animate1").active());

    // The pause button resumes the suspended worker directly; its command is
    // carried out before Timer4 has run again.
    press("pause");
    ASSERT_TRUE(waitWorker());
    EXPECT_EQ(status(), "Paused");
    EXPECT_FALSE(state<bool>("workerSuspended"));
    EXPECT_EQ(state<std::string>("workerRunState"), "Suspend");
    // Timer4 finds it awake with nothing pending and suspends it again.
    advance(100);
    EXPECT_TRUE(state<bool>("workerSuspended"));
    EXPECT_EQ(state<std::string>("workerRunState"), "Suspend");

    // A command that sets workerCommandPending resumes it; Timer4 then records it.
    press("play");
    EXPECT_FALSE(state<bool>("workerSuspended"));
    ASSERT_TRUE(waitWorker());
    EXPECT_EQ(status(), "Playing");
    advance(100);
    EXPECT_TRUE(state<std::string>("workerRunState") == "Resume" ||
                !state<bool>("workerCommandPending"));
    ASSERT_TRUE(waitWorker());
    advance(200);
    EXPECT_EQ(state<std::string>("workerRunState"), "Suspend");
    EXPECT_TRUE(state<bool>("workerSuspended"));
}

TEST_F(WorkerRouteTest, ACommandPostedWithoutPendingWaitsInTheSuspendedWorker) {
    playItem(localItem(clips.clip("wmv")));
    ASSERT_TRUE(waitWorker());
    advance(100);
    ASSERT_TRUE(state<bool>("workerSuspended"));
    // killmp posts close-and-release without workerCommandPending.
    press("killmp");
    EXPECT_FALSE(state<bool>("workerCommandPending"));
    // The worker rests with the command in its slot; waiting for it returns.
    ASSERT_TRUE(waitWorker());
    EXPECT_EQ(state<int>("workerCommand"), 14);
    advance(300);
    EXPECT_EQ(state<int>("workerCommand"), 14);
    // "Close Video" wakes it to end it.
    menu("CloseVideo1");
    EXPECT_FALSE(state<bool>("mediaWorker"));
}

TEST_F(WorkerRouteTest, AFileThePlayerCannotOpenShowsErrorOpeningAndTheNextRequestWorks) {
    playItem(localItem(clips.write("truncated.wmv", std::string("\x30\x26\xB2\x75", 4))));
    ASSERT_TRUE(waitWorker());
    EXPECT_EQ(status(), "Error Opening");
    EXPECT_EQ(caption("Label19"), "Error Opening");
    EXPECT_TRUE(state<bool>("openFailed"));
    EXPECT_FALSE(get<ui::Animation>("Animate1").active());
    EXPECT_TRUE(get<ui::MenuItem>("PlayVideo1").enabled());

    // Pause with nothing open is a player error: the worker carries on.
    press("pause");
    ASSERT_TRUE(waitWorker());
    EXPECT_FALSE(get<ui::Animation>("Animate1").active());

    playItem(localItem(clips.clip("wmv")));
    ASSERT_TRUE(waitWorker());
    EXPECT_EQ(status(), "Playing");
}

TEST_F(WorkerRouteTest, AnyFileThePlayerOpensPlaysWhateverItsExtension) {
    const std::string source = clips.clip("wmv");
    for (const char* name :
         {"clip.mpg", "clip.WMV", "a clip with blanks äöü 日本 and a long name.avi"}) {
        const std::string target = clips.file(name);
        std::filesystem::copy_file(source, target);
        playItem(localItem(target));
        ASSERT_TRUE(waitWorker());
        EXPECT_EQ(status(), "Playing") << name;
    }
}

TEST_F(WorkerRouteTest, CloseVideoEndsTheWorkerAndTheNextRequestMakesANewOne) {
    playItem(localItem(clips.clip("wmv")));
    ASSERT_TRUE(waitWorker());
    EXPECT_TRUE(state<bool>("mediaWorker"));
    menu("CloseVideo1");
    EXPECT_FALSE(state<bool>("mediaWorker"));
    EXPECT_EQ(caption("minleft"), "0");
    EXPECT_EQ(caption("secleft"), "0");
    EXPECT_FALSE(get<ui::Animation>("Animate1").active());
    EXPECT_EQ(get<ui::MenuItem>("PlayVideo1").caption(), "Play Video ");
    EXPECT_TRUE(get<ui::MenuItem>("PlayVideo1").enabled());

    playItem(localItem(clips.clip("wmv")));
    ASSERT_TRUE(waitWorker());
    EXPECT_TRUE(state<bool>("mediaWorker"));
    EXPECT_EQ(status(), "Playing");
}

TEST_F(WorkerRouteTest, CloseVideoWhileAClipLoads) {
    playItem(localItem(clips.clip("wmv")));
    menu("CloseVideo1"); // the worker may be anywhere in its open
    EXPECT_FALSE(state<bool>("mediaWorker"));
    EXPECT_FALSE(get<ui::Animation>("Animate1").active());
    app->loop().runPosted(); // reports of the ended worker change nothing harmful
    playItem(localItem(clips.clip("wmv")));
    ASSERT_TRUE(waitWorker());
    EXPECT_EQ(status(), "Playing");
}

TEST_F(WorkerRouteTest, AMovieRequestStopsTheWorker) {
    playItem(localItem(clips.clip("wmv")));
    ASSERT_TRUE(waitWorker());
    playItem(flashItem());
    EXPECT_EQ(caption("Label20"), "F");
    ASSERT_TRUE(waitWorker());
    // The movie route: the worker stops without touching the status line.
    EXPECT_EQ(status(), "Playing");
    EXPECT_TRUE(get<ui::MenuItem>("PlayVideo1").enabled());
}

TEST_F(WorkerRouteTest, TheWorkersVideoSurfaceFillsPanel4WhileItPlays) {
    auto& surface = get<ui::MediaSurface>("workerVideo");
    auto& panel = get<ui::Panel>("Panel4");
    EXPECT_FALSE(surface.visible());
    EXPECT_EQ(surface.parent(), &panel);
    playItem(localItem(clips.clip("wmv")));
    EXPECT_TRUE(surface.visible());
    EXPECT_GT(surface.zIndex(), get<ui::MediaSurface>("ShockwaveFlash1").zIndex());
    ASSERT_TRUE(waitWorker());
    // A bigger Panel4 (float mode, full screen): the next command follows it.
    panel.setBounds(0, 0, 800, 550);
    app->dispatch([&] { form->player().worker().fit(); });
    EXPECT_EQ(surface.width(), 800);
    EXPECT_EQ(surface.height(), 550);
    ASSERT_TRUE(waitWorker());
    // Stop brings the idle screen up; the native video window goes with the video.
    press("stop");
    ASSERT_TRUE(waitWorker());
    EXPECT_FALSE(surface.visible());
    advance(100); // Timer4 ends the stop button's busy animation
    playItem(localItem(clips.clip("wmv")));
    EXPECT_TRUE(surface.visible());
    ASSERT_TRUE(waitWorker());
    // A movie-route item draws into ShockwaveFlash1 instead.
    playItem(flashItem());
    EXPECT_FALSE(surface.visible());
    ASSERT_TRUE(waitWorker());
    advance(100);
    playItem(localItem(clips.clip("wmv")));
    EXPECT_TRUE(surface.visible());
    ASSERT_TRUE(waitWorker());
    menu("CloseVideo1");
    EXPECT_FALSE(surface.visible());
}

TEST_F(WorkerRouteTest, WithoutAWorkerCloseVideoAndTheButtonsDoNothing) {
    menu("CloseVideo1");
    EXPECT_FALSE(state<bool>("mediaWorker"));
    EXPECT_EQ(state<std::string>("workerStatus"), "");
}

} // namespace
