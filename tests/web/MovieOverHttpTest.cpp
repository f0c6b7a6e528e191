// The player movie plays a demo clip from the demo web site over http, as the
// demo catalogue's items of the movie link to it, and seeks in it (range requests).
#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "player/MovieRequest.h"
#include "player/PlayerMovie.h"
#include "player/PollReplies.h"
#include "support/Eventually.h"
#include "support/TempDir.h"

extern char** environ;

namespace {

using testsupport::eventually;

using namespace std::chrono_literals;
const std::filesystem::path sourceDir = ZORVEX_SOURCE_DIR;
// The port the playback tests give the demo web site.
constexpr int kPort = 8093;

int run(std::vector<std::string> all) {
    std::vector<char*> argv;
    for (auto& a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (::posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class MovieOverHttp : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directory(tmp_.path() / "media");
        const std::string clip = tmp_.file("media/demo-clip.flv");
        // Four seconds of picture and tone, as the demo clips are made.
        ASSERT_EQ(run({"ffmpeg",
                       "-v",
                       "error",
                       "-nostdin",
                       "-y",
                       "-f",
                       "lavfi",
                       "-i",
                       "testsrc=size=160x120:rate=25:duration=4",
                       "-f",
                       "lavfi",
                       "-i",
                       "sine=frequency=440:duration=4",
                       "-c:v",
                       "flv",
                       "-c:a",
                       "libmp3lame",
                       "-ar",
                       "44100",
                       "-shortest",
                       clip}),
                  0);
        ASSERT_EQ(demoWeb("start"), 0) << "scripts/demo-web start failed";
    }
    void TearDown() override { EXPECT_EQ(demoWeb("stop"), 0); }
    int demoWeb(const std::string& command) {
        return run({(sourceDir / "scripts" / "demo-web").string(), command, "--port",
                    std::to_string(kPort), "--rundir", tmp_.file("run"), "--media-dir",
                    tmp_.file("media")});
    }
    std::string call(const std::string& name, const std::string& argument) {
        return movie_.callFunction(player::invokeText(name, argument));
    }

    testsupport::TempDir tmp_{"zorvex-movie-http"};
    player::PlayerMovie movie_{player::PlayerMovieOptions{10s}};
};

TEST_F(MovieOverHttp, PlaysAndSeeksADemoClipFromTheDemoWebSite) {
    movie_.loadMovie(1, (sourceDir / "demo" / "movie" / "fl8b.swf").string());
    call("playVideo", "http://127.0.0.1:" + std::to_string(kPort) + "/media/demo-clip.flv");
    call("pauseVideo", "Pause");
    ASSERT_TRUE(eventually([&] { return movie_.idle(); }));
    EXPECT_EQ(player::stateWordOf(call("statusVideo", "status")), "paused") << movie_.lastError();
    EXPECT_EQ(player::secondsTextOf(call("maxTimeVideo", "maxTime")), "4");
    call("timeVideo", "3");
    ASSERT_TRUE(eventually([&] { return movie_.idle(); }));
    EXPECT_EQ(player::secondsTextOf(call("playedVideo", "played")), "3");
    call("pauseVideo", "Resume");
    ASSERT_TRUE(eventually([&] { return movie_.idle(); }));
    EXPECT_EQ(player::stateWordOf(call("statusVideo", "status")), "playing");
}

} // namespace
