// "Open Local Media" and "Live TV": the inputs they give the play request, the
// file dialog (the main window hidden while it is open) and playing the result.

#include <gtest/gtest.h>

#include <filesystem>

#include "MediaClips.h"
#include "PlaybackFixture.h"
#include "app/MainWindow.h"
#include "player/LocalMedia.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "ui/Menu.h"

namespace {

using playertest::PlaybackFixture;

TEST(LocalMediaTexts, TitleAndDescriptionAreCutAtFiftyCharacters) {
    EXPECT_EQ(player::localTitle("/home/me/clip.wmv"), "clip.wmv");
    EXPECT_EQ(player::localTitle("clip.wmv"), "clip.wmv");
    const std::string name(60, 'n');
    EXPECT_EQ(player::localTitle("/x/" + name), std::string(50, 'n'));
    EXPECT_EQ(player::localDescription("/short.wmv"), "/short.wmv..");
    const std::string longPath = "/home/me/Videos/ein Ordner mit äöü und 日本語/clip number 1.wmv";
    const std::string cut = player::localDescription(longPath);
    EXPECT_EQ(cut, "/home/me/Videos/ein Ordner mit äöü und 日本語/clip nu..");
}

class LocalMediaTest : public PlaybackFixture {
  protected:
    void SetUp() override {
        PlaybackFixture::SetUp();
        startScripted();
    }
    void menu(const std::string& item) {
        app->dispatch([&] { get<ui::MenuItem>(item).onClick(); });
    }
    mediatest::MediaClips clips;
};

TEST_F(LocalMediaTest, OpenLocalMediaPlaysTheChosenFileInTheWorker) {
    auto item = flashItem("http://clips.example/own.flv");
    choose(item);
    const std::string path = clips.file("ein Ordner äöü 日本/a clip with a rather long name.wmv");
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::filesystem::copy_file(clips.clip("wmv"), path);
    bool mainVisibleDuringDialog = true;
    app->dialogs().setPresenter([&](const ui::DialogRecord& record) {
        mainVisibleDuringDialog = form->visible();
        EXPECT_EQ(record.type, ui::DialogRecord::Type::FileChoice);
        return path;
    });
    form->show();
    menu("OpenLocalMedia1");
    EXPECT_FALSE(mainVisibleDuringDialog);
    EXPECT_TRUE(form->visible());

    const auto current = app->state().get("currentItem");
    EXPECT_EQ(current["title"], "a clip with a rather long name.wmv");
    EXPECT_EQ(current["siteUrl"], player::localDescription(path));
    EXPECT_EQ(current["description"], player::localDescription(path));
    EXPECT_EQ(current["mediaType"], "application/x-mplaye");
    EXPECT_EQ(current["feedTitle"], "local");
    EXPECT_EQ(current["recnum"], "42");
    EXPECT_EQ(current["mediaLink"], "http://clips.example/own.flv");
    EXPECT_EQ(state<std::string>("selectionTitle"), "A short title");
    EXPECT_EQ(state<std::string>("workerLink"), path);
    EXPECT_EQ(state<int>("playMode"), 1);
    EXPECT_FALSE(get<ui::Label>("visitsite").visible());
    ASSERT_TRUE(waitWorker());
    EXPECT_EQ(state<std::string>("workerStatus"), "Playing");
}

TEST_F(LocalMediaTest, CancellingTheDialogChangesNothing) {
    choose(flashItem());
    const auto before = app->state().get("currentItem");
    app->dialogs().queueFile("");
    menu("OpenLocalMedia1");
    EXPECT_EQ(app->state().get("currentItem"), before);
    EXPECT_EQ(state<int>("playMode"), 0);
    EXPECT_FALSE(state<bool>("localItem"));
    EXPECT_TRUE(form->visible());
}

TEST_F(LocalMediaTest, LiveTvPlaysTheConfiguredStreamOnTheWorkerRoute) {
    for (const char* item : {"elstraTV1", "estLive1"}) {
        menu(item);
        EXPECT_EQ(state<int>("playMode"), 1) << item;
        // The default is the demo web site's live channel: not downloaded (it names
        // a ".wmv"), given the stream suffix after its query.
        EXPECT_EQ(state<std::string>("workerLink"),
                  "http://127.0.0.1:8090/live/tv.m3u8?=.wmv&MSWMExt=.asf");
        ASSERT_TRUE(waitWorker());
        advance(100);
    }
}

} // namespace

namespace {

const std::filesystem::path sourceDir = ZORVEX_SOURCE_DIR;

int webPort() {
    const char* port = std::getenv("ZORVEX_TEST_WEB_PORT");
    return port && *port ? std::atoi(port) : 8094;
}

// "Live TV" against the demo web site's live channel: a live HLS playlist over
// segments made by scripts/make-demo-media, played by mpv with null outputs.
class LiveTvTest : public PlaybackFixture {
  protected:
    void SetUp() override {
        PlaybackFixture::SetUp();
        const char* shared = std::getenv("ZORVEX_MEDIA_DIR");
        if (shared && std::filesystem::exists(std::filesystem::path(shared) / "live/seg5.ts")) {
            media_ = shared;
        } else {
            media_ = tmp_.file("media");
            ASSERT_EQ(
                mediatest::runProgram({(sourceDir / "scripts/make-demo-media").string(), media_}),
                0);
        }
        ASSERT_EQ(demoWeb("start"), 0) << "scripts/demo-web start failed";
        auto owned = std::make_unique<playertest::ScriptedMovie>();
        scripted = owned.get();
        movie = std::move(owned);
        start("[live]\nstream = http://" + site() + "/live/tv.m3u8?=.wmv\n");
    }
    void TearDown() override {
        EXPECT_EQ(demoWeb("stop"), 0);
        PlaybackFixture::TearDown();
    }
    int demoWeb(const std::string& command) const {
        return mediatest::runProgram({(sourceDir / "scripts/demo-web").string(), command, "--port",
                                      std::to_string(webPort()), "--rundir", tmp_.file("run"),
                                      "--media-dir", media_});
    }
    std::string site() const { return "127.0.0.1:" + std::to_string(webPort()); }
    void menu(const std::string& item) {
        app->dispatch([&] { get<ui::MenuItem>(item).onClick(); });
    }

    testsupport::TempDir tmp_{"zorvex-live"};
    std::string media_;
    mediatest::MediaClips clips;
};

TEST_F(LiveTvTest, TheChannelAlsoPlaysAfterALocalFile) {
    // After "Open Local Media" the current item is the local one, so the play
    // request skips the resolver and the address goes to the worker as it is.
    app->dialogs().queueFile(clips.clip("wmv"));
    menu("OpenLocalMedia1");
    ASSERT_TRUE(waitWorker());
    ASSERT_EQ(state<std::string>("workerStatus"), "Playing");
    advance(100);
    menu("estLive1");
    EXPECT_EQ(state<std::string>("workerLink"), "http://" + site() + "/live/tv.m3u8?=.wmv");
    ASSERT_TRUE(waitWorker());
    EXPECT_EQ(state<std::string>("workerStatus"), "Playing");
}

TEST_F(LiveTvTest, LiveTvPlaysTheDemoChannel) {
    menu("elstraTV1");
    EXPECT_EQ(state<int>("playMode"), 1);
    // The port stays; the stream suffix follows the address's query.
    EXPECT_EQ(state<std::string>("workerLink"),
              "http://" + site() + "/live/tv.m3u8?=.wmv&MSWMExt=.asf");
    ASSERT_TRUE(waitWorker());
    EXPECT_EQ(state<std::string>("workerStatus"), "Playing");
    EXPECT_EQ(caption("Label19"), "Playing");
    EXPECT_FALSE(state<bool>("openFailed"));
    // The second item plays the same channel again.
    advance(100);
    menu("estLive1");
    ASSERT_TRUE(waitWorker());
    EXPECT_EQ(state<std::string>("workerStatus"), "Playing");
}

} // namespace
