// Playback figures of the headless program, `zorvex --headless --automation=stdio`:
// the time from a click on a thumbnail of the player movie to the status "Playing"
// for a local demo clip, against mpv's own time to its first frame for the same clip
// (null video and audio outputs), and the program's memory while the clip plays.
// Each run is a fresh program, so every click is the first one: libmpv is loaded
// then, not at start; mpv's time is likewise taken in a fresh process of this
// benchmark each time, from before libmpv is loaded to the first frame.
//   bench_playback ZORVEX_BINARY WORKDIR CONFIG [RUNS]
//   bench_playback --mpv-first-frame CLIP     (the child that measures mpv)

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "AutomationProcess.h"
#include "ProcessMemory.h"
#include "Thumbnails.h"
#include "Timings.h"
#include "platform/MpvLibrary.h"

namespace {

using Clock = std::chrono::steady_clock;
using nlohmann::json;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool mapsLibmpv(pid_t pid) {
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    std::string line;
    while (std::getline(maps, line))
        if (line.find("libmpv") != std::string::npos)
            return true;
    return false;
}

// The first thumbnail whose item plays in the movie from a file of this machine.
bench::Thumbnail movieThumbnail(bench::AutomationProcess& p) {
    return bench::findThumbnail(p, bench::playsInTheMovie,
                                "item of the player movie with a local clip");
}

// mpv's own time from a new instance to the first frame of `path`.
double mpvFirstFrameMs(const std::string& path) {
    const auto start = Clock::now();
    const platform::MpvLibrary& mpv = platform::mpvLibrary();
    mpv_handle* h = mpv.create();
    if (!h)
        throw std::runtime_error("mpv_create failed");
    for (const auto& [name, value] :
         {std::pair{"config", "no"}, std::pair{"terminal", "no"}, std::pair{"vo", "null"},
          std::pair{"ao", "null"}, std::pair{"ytdl", "no"}, std::pair{"load-scripts", "no"}})
        mpv.setOptionString(h, name, value);
    if (mpv.initialize(h) < 0)
        throw std::runtime_error("mpv_initialize failed");
    const char* load[] = {"loadfile", path.c_str(), nullptr};
    mpv.command(h, load);
    double ms = -1;
    for (;;) {
        const mpv_event* e = mpv.waitEvent(h, 10);
        if (e->event_id == MPV_EVENT_PLAYBACK_RESTART) {
            ms = msSince(start);
            break;
        }
        if (e->event_id == MPV_EVENT_END_FILE || e->event_id == MPV_EVENT_NONE)
            break;
    }
    mpv.terminateDestroy(h);
    if (ms < 0)
        throw std::runtime_error("mpv did not play " + path);
    return ms;
}

// Runs this benchmark as `--mpv-first-frame CLIP` in a new process and reads the
// milliseconds it prints.
double mpvFirstFrameInChild(const char* self, const std::string& clip) {
    int out[2];
    if (::pipe(out) != 0)
        throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::string a0 = self, a1 = "--mpv-first-frame", a2 = clip;
    char* argv[] = {a0.data(), a1.data(), a2.data(), nullptr};
    pid_t pid = 0;
    const int rc = ::posix_spawn(&pid, self, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    std::string text;
    char buffer[256];
    for (ssize_t n; rc == 0 && (n = ::read(out[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    ::close(out[0]);
    int status = 0;
    if (rc == 0)
        ::waitpid(pid, &status, 0);
    if (rc != 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || text.empty())
        throw std::runtime_error("the mpv measurement failed for " + clip);
    return std::atof(text.c_str());
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--mpv-first-frame") {
        try {
            std::printf("%.3f\n", mpvFirstFrameMs(argv[2]));
            return 0;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "bench_playback: %s\n", e.what());
            return 1;
        }
    }
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s ZORVEX_BINARY WORKDIR CONFIG [RUNS]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 4 ? std::max(1, std::atoi(argv[4])) : 5;
    try {
        std::vector<double> clickToPlaying, firstFrame;
        std::vector<bench::ProcessMemory> idle, playing;
        bool mappedBefore = false, mappedAfter = true;
        std::string clip;
        for (int r = 0; r < runs; ++r) {
            bench::AutomationProcess p(argv[1], {"--workdir", argv[2], "--config", argv[3]});
            p.request("[\"advance\",200]");
            if (!data(p, "[\"state\",\"onlineMode\"]").get<bool>())
                throw std::runtime_error("the online load did not finish; is the catalogue "
                                         "running?");
            p.request("[\"event\",\"suiImageButton1\",\"Click\"]");
            const bench::Thumbnail t = movieThumbnail(p);
            clip = t.clip;
            p.request("[\"event\",\"suiPageControl1\",\"TabActive\",{\"index\":" +
                      std::to_string(t.tab) + "}]");
            p.request("[\"event\",\"" + t.name + "\",\"MouseMove\",{\"x\":5,\"y\":5}]");
            idle.push_back(bench::ProcessMemory::of(p.pid()));
            mappedBefore = mappedBefore || mapsLibmpv(p.pid());

            const auto start = Clock::now();
            p.request("[\"event\",\"" + t.name + "\",\"Click\"]");
            std::string status;
            for (int i = 0; i < 60 && status != "Playing"; ++i) {
                p.request("[\"wait-idle\",30000]");
                p.request("[\"advance\",1000]");
                status = data(p, "[\"state\",\"playStatus\"]").get<std::string>();
            }
            if (status != "Playing")
                throw std::runtime_error("the clip did not play: " + status);
            clickToPlaying.push_back(msSince(start));
            playing.push_back(bench::ProcessMemory::of(p.pid()));
            mappedAfter = mappedAfter && mapsLibmpv(p.pid());

            firstFrame.push_back(mpvFirstFrameInChild(argv[0], clip));
        }
        const double ours = bench::median(clickToPlaying), theirs = bench::median(firstFrame);
        std::printf("clip: %s\n", clip.c_str());
        std::printf("thumbnail click to playStatus \"Playing\", headless: %.1f ms (median of %d "
                    "runs; first %.1f ms)\n",
                    ours, runs, clickToPlaying.front());
        std::printf("mpv's own time to its first frame (vo=null, ao=null, fresh process, libmpv "
                    "loaded first): %.1f ms (median of %d runs)\n",
                    theirs, runs);
        std::printf("ratio: %.2f (goal: at most 1.2)\n", ours / theirs);
        auto byRss = [](std::vector<bench::ProcessMemory> v) {
            std::sort(v.begin(), v.end(),
                      [](const auto& a, const auto& b) { return a.rssKiB < b.rssKiB; });
            return v[v.size() / 2];
        };
        std::printf("headless memory before the click: %s; while the clip plays: %s (medians)\n",
                    byRss(idle).text().c_str(), byRss(playing).text().c_str());
        std::printf("libmpv mapped before the first click: %s; after it: %s\n",
                    mappedBefore ? "yes" : "no", mappedAfter ? "yes" : "no");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_playback: %s\n", e.what());
        return 1;
    }
    return 0;
}
