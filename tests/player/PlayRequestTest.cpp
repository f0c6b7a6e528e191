// The play request: what it copies, writes, shows and uncovers, and the route it
// sends the link down.
#include <gtest/gtest.h>

#include <filesystem>

#include "PlaybackFixture.h"
#include "app/MainWindow.h"
#include "player/MovieRequest.h"
#include "ui/Application.h"
#include "ui/Image.h"
#include "ui/Menu.h"
#include "ui/Timer.h"
#include "ui/VisibleArea.h"

namespace {

using playertest::PlaybackFixture;

class PlayRequestTest : public PlaybackFixture {
  protected:
    void SetUp() override {
        PlaybackFixture::SetUp();
        startScripted();
    }
    /// A click on a thumbnail, as its handler runs it (inside the error boundary).
    void clickThumbnail(const std::string& name = "featurepic3") {
        app->dispatch([&] { get<ui::Image>(name).onClick(); });
    }
    void clickMenu(const std::string& name) {
        app->dispatch([&] { get<ui::MenuItem>(name).onClick(); });
    }
    nlohmann::json nowPlaying() const { return app->state().get("nowPlaying"); }
};

TEST_F(PlayRequestTest, AThumbnailClickPlaysTheChosenItemInTheMovie) {
    choose(flashItem());
    clickThumbnail();
    EXPECT_TRUE(errors().empty()) << errors().front();

    const auto now = nowPlaying();
    EXPECT_EQ(now["mediaLink"], "http://clips.example/a.flv");
    EXPECT_EQ(now["title"], "A short title");
    EXPECT_EQ(now["description"], "A description");
    EXPECT_EQ(now["siteUrl"], "http://www.site.example/watch/1");
    EXPECT_EQ(now["mediaType"], "video/flv");
    EXPECT_EQ(now["recnum"], "42");
    EXPECT_EQ(now["feedTitle"], "Some Feed");

    // The picture went through temp.jpg into the now-playing picture.
    ASSERT_TRUE(std::filesystem::exists("temp.jpg"));
    const auto& shown = get<ui::Image>("playImage").picture();
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->source(), "temp.jpg");
    EXPECT_EQ(shown->width(), 64);

    EXPECT_EQ(caption("nowtitledis"), "A short title");
    EXPECT_EQ(caption("nowdescdis1"), "A description");
    EXPECT_EQ(caption("nowdescdis2"), "");
    EXPECT_EQ(caption("visitsite"), "Visit Site: http://www.site.example/watch/..");
    EXPECT_TRUE(get<ui::Label>("visitsite").visible());
    for (const char* b : {"floatvideobutton", "suiImageButton26", "playAddToBookmark"})
        EXPECT_TRUE(get<ui::Button>(b).enabled()) << b;

    // The player area is uncovered: the idle screen at the back and hidden, the
    // transport bar shown, the video surface in front.
    auto& idle = get<ui::Panel>("Panel2");
    EXPECT_FALSE(idle.visible());
    EXPECT_EQ(idle.zIndex(), 0);
    EXPECT_TRUE(get<ui::Panel>("Panel5").visible());
    EXPECT_GT(get<ui::Panel>("Panel4").zIndex(), get<ui::Panel>("Panel5").zIndex());
    EXPECT_TRUE(get<ui::MediaSurface>("ShockwaveFlash1").visible());

    EXPECT_EQ(get<ui::TrackBar>("mpposibar").position(), 0);
    EXPECT_EQ(get<ui::TrackBar>("mpposibar").max(), 100);
    EXPECT_EQ(caption("secleft"), "0 : 00");
    EXPECT_EQ(caption("minleft"), "0%");
    EXPECT_TRUE(get<ui::TrackBar>("previewvolume").enabled());
    EXPECT_TRUE(get<ui::TrackBar>("mpposibar").enabled());

    // The movie route: the status line says loading, the status itself waits for
    // the first poll.
    EXPECT_EQ(caption("Label19"), "Loading..");
    EXPECT_EQ(caption("titlestatus"), "");
    EXPECT_EQ(state<std::string>("playStatus"), "");
    EXPECT_EQ(caption("Label20"), "F");
    EXPECT_EQ(state<int>("playMode"), 2);
    EXPECT_EQ(scripted->requests,
              (std::vector<player::MovieRequest>{{"playVideo", "http://clips.example/a.flv"},
                                                 {"resumeVideo", "Resume"}}));
    EXPECT_TRUE(get<ui::Timer>("threadtimer").enabled());
}

TEST_F(PlayRequestTest, TheMoviesSurfaceIsSeenOnlyWhileNothingLiesInFrontOfIt) {
    // The surface stays visible in the model throughout; what of it can be seen
    // follows the idle screen, which the front end's native window obeys.
    auto& surface = get<ui::MediaSurface>("ShockwaveFlash1");
    // The main window as the user sees it.
    app->dispatch([&] { surface.form()->show(); });
    ASSERT_TRUE(surface.form()->visible());
    EXPECT_TRUE(surface.visible());
    EXPECT_TRUE(ui::visibleArea(surface).empty());

    choose(flashItem());
    clickThumbnail();
    EXPECT_TRUE(ui::wholeArea(surface, ui::visibleArea(surface)));

    app->dispatch([&] { get<ui::Button>("stop").onClick(); });
    EXPECT_TRUE(get<ui::Panel>("Panel2").visible());
    EXPECT_TRUE(surface.visible());
    EXPECT_TRUE(ui::visibleArea(surface).empty());
}

TEST_F(PlayRequestTest, TheRouteFollowsTheMediaTypeAndTheFeed) {
    struct Case {
        std::string mediaType, feedTitle;
        int playMode;
    };
    for (const Case& c : {Case{"application/flash", "Any", 2}, Case{"video/flv", "Any", 2},
                          Case{"video/x-ms-wmv", "ABC USA", 2}, Case{"video/FLV", "Any", 1},
                          Case{"video/x-ms-wmv", "abc usa", 1}, Case{"", "", 1}}) {
        auto item = flashItem();
        item.mediaType = c.mediaType;
        item.feedTitle = c.feedTitle;
        choose(item);
        clickThumbnail();
        EXPECT_EQ(state<int>("playMode"), c.playMode) << c.mediaType << " " << c.feedTitle;
    }
}

TEST_F(PlayRequestTest, TheWorkerRouteTakesTheSurfaceAwayFromTheMovie) {
    auto item = flashItem("http://clips.example/a.wmv");
    item.mediaType = "video/x-ms-wmv";
    choose(item);
    clickThumbnail();
    EXPECT_EQ(state<int>("playMode"), 1);
    EXPECT_EQ(state<std::string>("playStatus"), "Loading..");
    EXPECT_EQ(caption("Label19"), "Loading..");
    EXPECT_EQ(caption("Label20"), "W");
    EXPECT_FALSE(get<ui::MediaSurface>("ShockwaveFlash1").visible());
    EXPECT_EQ(get<ui::MediaSurface>("ShockwaveFlash1").zIndex(), 0);
    EXPECT_EQ(scripted->requests, (std::vector<player::MovieRequest>{{"stopVideo", "Stop"}}));
    EXPECT_FALSE(get<ui::Timer>("threadtimer").enabled());
    // The resolved link went to the worker, which took it and could not open it.
    EXPECT_EQ(state<std::string>("workerLink"), "http://clips.example/a.wmv?MSWMExt=.asf");
    ASSERT_TRUE(waitWorker());
    EXPECT_FALSE(state<bool>("newLinkPending"));
    EXPECT_EQ(state<std::string>("workerStatus"), "Error Opening");
    EXPECT_EQ(caption("Label19"), "Error Opening");
    EXPECT_FALSE(get<ui::Animation>("Animate1").active());
}

TEST_F(PlayRequestTest, GoogleVideoLinksAreDecodedWhateverTheCase) {
    auto item = flashItem("a%3a%2F%2Fb%3Fx%3d1%26y%3D2");
    item.feedTitle = "Google Video";
    choose(item);
    clickThumbnail();
    EXPECT_EQ(state<std::string>("playLink"), "a://b?x=1&y=2.flv");
    EXPECT_EQ(scripted->argumentsOf("playVideo"), std::vector<std::string>{"a://b?x=1&y=2.flv"});
    // nowPlaying keeps the link as chosen; only the play link is rewritten.
    EXPECT_EQ(nowPlaying()["mediaLink"], "a%3a%2F%2Fb%3Fx%3d1%26y%3D2");
}

TEST_F(PlayRequestTest, CaptionsAreCutInCharacters) {
    auto item = flashItem();
    item.title = std::string(39, 't');
    item.description = std::string(55, 'd');
    choose(item);
    clickThumbnail();
    EXPECT_EQ(caption("nowtitledis"), std::string(39, 't'));
    EXPECT_EQ(caption("nowdescdis1"), std::string(55, 'd'));
    EXPECT_EQ(caption("nowdescdis2"), "");

    item.description = std::string(56, 'd');
    choose(item);
    clickThumbnail();
    EXPECT_EQ(caption("nowdescdis1"), std::string(55, 'd'));
    EXPECT_EQ(caption("nowdescdis2"), "d");

    // Two-byte characters count once and are never split.
    std::string e;
    for (int i = 0; i < 56; ++i)
        e += "\xc3\xa9";
    item.title.clear();
    for (int i = 0; i < 45; ++i)
        item.title += "\xe2\x82\xac";
    item.description = e;
    item.siteUrl = std::string(40, 's');
    choose(item);
    clickThumbnail();
    EXPECT_EQ(caption("nowtitledis"), item.title.substr(0, 40 * 3));
    EXPECT_EQ(caption("nowdescdis1"), e.substr(0, 110));
    EXPECT_EQ(caption("nowdescdis2"), "\xc3\xa9");
    EXPECT_EQ(caption("visitsite"), "Visit Site: " + std::string(30, 's') + "..");
}

TEST_F(PlayRequestTest, NothingChangesWhileTheBusyAnimationPlays) {
    choose(flashItem());
    clickThumbnail();
    scripted->requests.clear();
    get<ui::Animation>("Animate1").setActive(true);
    auto other = flashItem("http://clips.example/b.flv");
    other.title = "Another";
    choose(other);
    clickThumbnail();
    EXPECT_TRUE(scripted->requests.empty());
    EXPECT_EQ(caption("nowtitledis"), "A short title");
    EXPECT_EQ(nowPlaying()["mediaLink"], "http://clips.example/a.flv");
}

TEST_F(PlayRequestTest, ALocalItemHidesTheVisitSiteLabel) {
    auto item = flashItem("/tmp/clip.flv");
    item.feedTitle = "local";
    choose(item);
    clickThumbnail();
    EXPECT_TRUE(state<bool>("localItem"));
    EXPECT_FALSE(get<ui::Label>("visitsite").visible());

    // Another item shows it again; the local flag stays until playback clears it.
    choose(flashItem());
    clickThumbnail();
    EXPECT_TRUE(get<ui::Label>("visitsite").visible());
    EXPECT_TRUE(state<bool>("localItem"));
}

TEST_F(PlayRequestTest, PlayTakesTheItemsOwnLinkAndPlayVideoThePlayLink) {
    choose(flashItem("http://clips.example/own.flv"));
    form->selection().setPlayLink("http://clips.example/resolved.flv");
    clickMenu("PlayVideo1");
    clickMenu("Play2");
    EXPECT_EQ(scripted->argumentsOf("playVideo"),
              (std::vector<std::string>{"http://clips.example/resolved.flv",
                                        "http://clips.example/own.flv"}));
    EXPECT_EQ(state<std::string>("playLink"), "http://clips.example/own.flv");
}

TEST_F(PlayRequestTest, AnItemWithoutPictureShowsThePlaceholder) {
    choose(flashItem(), false);
    clickThumbnail();
    EXPECT_TRUE(errors().empty());
    const auto& shown = get<ui::Image>("playImage").picture();
    ASSERT_TRUE(shown);
    const auto& placeholder = get<ui::Image>("suiDBImage1").picture();
    ASSERT_TRUE(placeholder);
    EXPECT_EQ(shown->naturalWidth(), placeholder->width());
}

TEST_F(PlayRequestTest, AFailingPlayRequestIsReportedAndEndsTheRequest) {
    scripted->failing["playVideo"] = true;
    choose(flashItem());
    clickThumbnail();
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_EQ(errors().front(), "the movie failed playVideo");
    EXPECT_EQ(scripted->argumentsOf("resumeVideo").size(), 0u);
    EXPECT_FALSE(get<ui::Timer>("threadtimer").enabled());
}

TEST_F(PlayRequestTest, TheMovieFileIsLoadedAtStartAndDrawsIntoItsSurface) {
    EXPECT_EQ(scripted->loaded, std::vector<std::string>{"./fl8b.swf"});
    EXPECT_EQ(scripted->surface, &get<ui::MediaSurface>("ShockwaveFlash1"));
}

} // namespace
