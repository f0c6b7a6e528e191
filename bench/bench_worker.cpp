// Media worker figures, with the headless program `zorvex --headless
// --automation=stdio`: the time from a click on a thumbnail whose item takes the
// worker route (a local ".wmv" demo clip) to the worker's status "Playing", so the
// play request's own part (the route, the resolver's step, "Create Thread") is
// measured with the worker's; beside it the worker alone from its play command,
// and mpv's own time to the first frame of the same clip. Each run is a fresh
// process, so libmpv is loaded inside the measured time every way. Then the CPU
// time of the program's worker thread, and of the whole program, over 10 idle
// seconds after the clip played.
//   bench_worker ZORVEX_BINARY WORKDIR CONFIG [RUNS]
//   bench_worker --worker-play CLIP      (the child that measures the worker alone)

#include <dirent.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "AutomationProcess.h"
#include "Thumbnails.h"
#include "platform/MpvMediaPlayer.h"
#include "player/MediaWorker.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Runs `argv` and returns the number it prints, or -1.
double childFigure(std::vector<std::string> args) {
    int out[2];
    if (::pipe(out) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    ::posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int rc = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    std::string text;
    char buffer[256];
    ssize_t n;
    while (rc == 0 && (n = ::read(out[0], buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<std::size_t>(n));
    ::close(out[0]);
    int status = 0;
    if (rc == 0)
        ::waitpid(pid, &status, 0);
    return rc == 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? std::atof(text.c_str()) : -1;
}

// User + system CPU time in clock ticks from a /proc stat line.
long statTicks(const std::string& statFile) {
    std::ifstream stat(statFile);
    std::string line;
    if (!std::getline(stat, line) || line.rfind(')') == std::string::npos)
        return -1;
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::string field;
    long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14)
            utime = std::atol(field.c_str());
        if (i == 15)
            stime = std::atol(field.c_str());
    }
    return utime + stime;
}

// CPU time in clock ticks of the thread named "media-worker" of process `proc`
// ("self" or a pid); -1 when there is none.
long workerCpuTicks(const std::string& proc = "self") {
    const std::string tasks = "/proc/" + proc + "/task";
    DIR* dir = ::opendir(tasks.c_str());
    if (!dir)
        return -1;
    long ticks = -1;
    while (dirent* entry = ::readdir(dir)) {
        const std::string task = tasks + "/" + entry->d_name;
        std::ifstream comm(task + "/comm");
        std::string name;
        if (!std::getline(comm, name) || name != "media-worker")
            continue;
        ticks = statTicks(task + "/stat");
    }
    ::closedir(dir);
    return ticks;
}

double ticksToMs(long ticks) {
    return static_cast<double>(ticks) * 1000.0 / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

using nlohmann::json;

// The first thumbnail whose item plays a local ".wmv" demo clip in the media worker
// (not the player movie).
bench::Thumbnail workerThumbnail(bench::AutomationProcess& p) {
    return bench::findThumbnail(
        p,
        [](const nlohmann::json& item) {
            const std::string link = item.value("mediaLink", "");
            return !bench::playsInTheMovie(item) && link.size() > 4 &&
                   link.substr(link.size() - 4) == ".wmv";
        },
        "worker-route item with a local .wmv clip");
}

struct ClickFigures {
    double clickToPlaying = -1;
    double workerIdleMs = -1;  // the worker thread over 10 idle seconds
    double processIdleMs = -1; // the whole program over the same time
};

// One fresh headless program: the click on the thumbnail to "Playing", and, when
// `idleFigure`, the CPU time over 10 idle seconds after the clip has played.
ClickFigures clickToPlaying(const std::string& binary, const std::string& workdir,
                            const std::string& config, bench::Thumbnail& t, bool idleFigure) {
    using Ms = std::chrono::duration<double, std::milli>;
    bench::AutomationProcess p(binary, {"--workdir", workdir, "--config", config});
    p.request("[\"advance\",200]");
    if (!data(p, "[\"state\",\"onlineMode\"]").get<bool>())
        throw std::runtime_error("the online load did not finish; is the catalogue running?");
    p.request("[\"event\",\"suiImageButton1\",\"Click\"]");
    t = workerThumbnail(p);
    p.request("[\"event\",\"suiPageControl1\",\"TabActive\",{\"index\":" + std::to_string(t.tab) +
              "}]");
    p.request("[\"event\",\"" + t.name + "\",\"MouseMove\",{\"x\":5,\"y\":5}]");

    ClickFigures f;
    const auto start = Clock::now();
    p.request("[\"event\",\"" + t.name + "\",\"Click\"]");
    std::string status;
    for (int i = 0; i < 600 && status != "Playing" && status != "Error Opening"; ++i) {
        p.request("[\"wait-idle\",30000]");
        status = data(p, "[\"state\",\"workerStatus\"]").get<std::string>();
    }
    f.clickToPlaying = Ms(Clock::now() - start).count();
    if (status != "Playing")
        throw std::runtime_error("the clip did not play in the worker: " + status);
    if (data(p, "[\"state\",\"playMode\"]").get<int>() != 1)
        throw std::runtime_error("the clip did not take the worker route");
    if (idleFigure) {
        // Let the 3-second clip play out and Timer4 suspend the worker, then idle.
        std::this_thread::sleep_for(std::chrono::seconds(4));
        p.request("[\"advance\",200]");
        p.request("[\"wait-idle\",30000]");
        const std::string pid = std::to_string(p.pid());
        const long workerBefore = workerCpuTicks(pid);
        const long processBefore = statTicks("/proc/" + pid + "/stat");
        std::this_thread::sleep_for(std::chrono::seconds(10));
        f.workerIdleMs = ticksToMs(workerCpuTicks(pid) - workerBefore);
        f.processIdleMs = ticksToMs(statTicks("/proc/" + pid + "/stat") - processBefore);
    }
    return f;
}

struct Waiter {
    std::mutex mutex;
    std::condition_variable changed;
    std::string status;
    int done = 0;
};

player::WorkerInputs inputs() {
    player::WorkerInputs in;
    in.volume = 500;
    in.panelWidth = 340;
    in.panelHeight = 245;
    in.playMode = 1;
    return in;
}

int workerPlay(const std::string& clip, bool idleFigure) {
    Waiter w;
    const auto start = Clock::now();
    player::MediaWorker worker([] { return std::make_unique<platform::MpvMediaPlayer>(); },
                               [&w](player::WorkerUpdate u) {
                                   std::lock_guard lock(w.mutex);
                                   if (u.status)
                                       w.status = *u.status;
                                   if (u.commandDone)
                                       ++w.done;
                                   w.changed.notify_all();
                               });
    worker.setLink(clip);
    worker.post(player::WorkerCommand::Play, inputs());
    {
        std::unique_lock lock(w.mutex);
        w.changed.wait(lock, [&] { return w.status == "Playing" || w.status == "Error Opening"; });
    }
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (w.status != "Playing")
        return 1;
    if (!idleFigure) {
        std::printf("%.3f\n", ms);
        return 0;
    }
    worker.post(player::WorkerCommand::Stop, inputs());
    {
        std::unique_lock lock(w.mutex);
        w.changed.wait(lock, [&] { return w.done >= 2; });
    }
    const long before = workerCpuTicks();
    std::this_thread::sleep_for(std::chrono::seconds(10));
    const long after = workerCpuTicks();
    std::printf("%.3f\n", static_cast<double>(after - before) * 1000.0 /
                              static_cast<double>(::sysconf(_SC_CLK_TCK)));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        if (argc == 3 && std::string(argv[1]) == "--worker-play")
            return workerPlay(argv[2], false);
        if (argc == 3 && std::string(argv[1]) == "--worker-idle")
            return workerPlay(argv[2], true);
        if (argc < 4) {
            std::fprintf(stderr, "usage: %s ZORVEX_BINARY WORKDIR CONFIG [RUNS]\n", argv[0]);
            return 2;
        }
        const std::string self = argv[0];
        const std::string dir = self.substr(0, self.rfind('/') + 1);
        const int runs = argc > 4 ? std::max(1, std::atoi(argv[4])) : 5;
        std::vector<double> click, worker, mpv;
        bench::Thumbnail t;
        for (int i = 0; i < runs; ++i) {
            click.push_back(clickToPlaying(argv[1], argv[2], argv[3], t, false).clickToPlaying);
            worker.push_back(childFigure({self, "--worker-play", t.clip}));
            mpv.push_back(childFigure({dir + "bench_playback", "--mpv-first-frame", t.clip}));
        }
        const double c = median(click), w = median(worker), m = median(mpv);
        std::printf("clip: %s (thumbnail %s)\n", t.clip.c_str(), t.name.c_str());
        std::printf("thumbnail click to workerStatus \"Playing\", headless program: %.1f ms "
                    "(median of %d; first %.1f ms)\n",
                    c, runs, click.front());
        std::printf("the worker alone, play command to \"Playing\": %.1f ms (median of %d)\n", w,
                    runs);
        std::printf("mpv's own time to its first frame of the same clip (vo=null, ao=null, fresh "
                    "process): %.1f ms (median of %d)\n",
                    m, runs);
        std::printf("ratio click / mpv: %.2f (goal: at most 1.2); worker alone / mpv: %.2f\n",
                    m > 0 ? c / m : -1.0, m > 0 ? w / m : -1.0);
        const ClickFigures idle = clickToPlaying(argv[1], argv[2], argv[3], t, true);
        std::printf("CPU over 10 idle seconds after the clip played: worker thread %.1f ms "
                    "(goal: 0), whole program %.1f ms\n",
                    idle.workerIdleMs, idle.processIdleMs);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_worker: %s\n", e.what());
        return 1;
    }
}
