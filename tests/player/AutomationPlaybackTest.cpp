// Every control and state variable of playback through the automation channel, as
// a script drives the headless program: `advance` drives the poll.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "PlaybackFixture.h"
#include "app/MainWindow.h"
#include "automation/Channel.h"
#include "ui/Application.h"

namespace {

using nlohmann::json;
using playertest::PlaybackFixture;

class AutomationPlaybackTest : public PlaybackFixture {
  protected:
    json send(const json& command) {
        std::string reply;
        channel->submit(json{{"id", 1}, {"command", command}}.dump(),
                        [&](const std::string& line) { reply = line; });
        return json::parse(reply);
    }
    json ok(const json& command) {
        const json reply = send(command);
        EXPECT_EQ(reply["error"], "success") << command.dump() << " -> " << reply.dump();
        return reply.value("data", json());
    }
    std::unique_ptr<automation::Channel> channel;
};

TEST_F(AutomationPlaybackTest, AScriptPlaysPollsAndUsesTheTransportBar) {
    startScripted();
    runChecks();
    click("suiImageButton1");
    channel = std::make_unique<automation::Channel>(*app);

    // Before anything plays.
    EXPECT_EQ(ok({"state", "playMode"}), 0);
    EXPECT_EQ(ok({"state", "playStatus"}), "");
    EXPECT_EQ(ok({"state", "flashMaxTime"}), 0);
    EXPECT_EQ(ok({"state", "localItem"}), false);
    EXPECT_EQ(ok({"get", "Panel5"})["visible"], false);
    EXPECT_EQ(ok({"get", "previewvolume"})["enabled"], false);
    // The transport bar is not showing yet: a user could not press it.
    EXPECT_NE(send({"event", "play", "Click"})["error"], "success");

    ok({"event", "featurepic2", "MouseMove", {{"x", 5}, {"y", 5}}});
    const json chosen = ok({"state", "currentItem"});
    ok({"event", "featurepic2", "Click"});
    EXPECT_EQ(ok({"state", "nowPlaying"})["title"], chosen["title"]);
    EXPECT_TRUE(chosen["title"].get<std::string>().starts_with(
        ok({"get", "nowtitledis"})["caption"].get<std::string>()));
    EXPECT_EQ(ok({"get", "Label19"})["caption"], "Loading..");
    EXPECT_EQ(ok({"get", "Panel5"})["visible"], true);
    EXPECT_EQ(ok({"get", "ShockwaveFlash1"})["kind"], "MediaSurface");
    EXPECT_NE(ok({"state", "playMode"}), 0);
    // A worker-route item loads in the worker; the next request waits for it.
    ASSERT_TRUE(waitWorker());

    // Route the item into the movie whatever the catalogue gave it.
    scripted->requests.clear();
    form->selection().choose([&] {
        auto item = flashItem();
        item.title = chosen["title"];
        return item;
    }());
    ok({"menu", "PlayVideo1"});
    EXPECT_EQ(ok({"state", "playMode"}), 2);
    EXPECT_EQ(ok({"get", "Label20"})["caption"], "F");

    scripted->replies["statusVideo"] = "<string>+playing</string>";
    scripted->replies["playedVideo"] = "<number>30.2</number>";
    scripted->replies["maxTimeVideo"] = "<number>120.9</number>";
    ok({"advance", 1000});
    EXPECT_EQ(ok({"state", "playStatus"}), "Playing");
    EXPECT_EQ(ok({"state", "flashMaxTime"}), 120);
    EXPECT_EQ(ok({"get", "minleft"})["caption"], "25%");
    EXPECT_EQ(ok({"get", "mpposibar"})["position"], 25);
    EXPECT_EQ(ok({"get", "secleft"})["caption"], "0 : 30");
    EXPECT_EQ(ok({"get", "titlestatus"})["caption"], "Playing");

    ok({"set", "previewvolume", "position", 1000});
    ok({"event", "previewvolume", "Change"});
    EXPECT_EQ(scripted->argumentsOf("volumeVideo"), std::vector<std::string>{"100"});

    ok({"event", "mpposibar", "MouseDown", {{"button", "left"}, {"x", 80}, {"y", 5}}});
    EXPECT_EQ(ok({"get", "threadtimer"})["enabled"], false);
    ok({"set", "mpposibar", "position", 50});
    ok({"event", "mpposibar", "MouseUp", {{"button", "left"}, {"x", 80}, {"y", 5}}});
    EXPECT_EQ(scripted->argumentsOf("timeVideo"), std::vector<std::string>{"60"});
    EXPECT_EQ(ok({"state", "playStatus"}), "Seeking");

    ok({"event", "pause", "Click"});
    EXPECT_EQ(ok({"state", "playStatus"}), "Paused");
    ok({"event", "play", "Click"});
    EXPECT_EQ(ok({"state", "playStatus"}), "Playing");
    ok({"event", "stop", "Click"});
    EXPECT_EQ(ok({"state", "playStatus"}), "Stopped");
    EXPECT_EQ(ok({"get", "Panel2"})["visible"], true);

    ok({"menu", "Play2"});
    EXPECT_EQ(scripted->argumentsOf("playVideo").size(), 2u);
    EXPECT_TRUE(ok({"dialogs"}).empty()) << ok({"dialogs"}).dump();
}

} // namespace
