// Media worker figures: the time from a play command to the status "Playing" for a
// local clip, against mpv's own time to its first frame for the same clip (each in
// a fresh process, so libmpv is loaded inside the measured time both ways), and the
// worker thread's CPU time over 10 idle seconds after it played and stopped.
//   bench_worker CLIP [RUNS]
//   bench_worker --worker-play CLIP      (the child that measures the worker)

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

// CPU time (user + system) in clock ticks of the thread named "media-worker".
long workerCpuTicks() {
    DIR* dir = ::opendir("/proc/self/task");
    if (!dir)
        return -1;
    long ticks = -1;
    while (dirent* entry = ::readdir(dir)) {
        const std::string task = std::string("/proc/self/task/") + entry->d_name;
        std::ifstream comm(task + "/comm");
        std::string name;
        if (!std::getline(comm, name) || name != "media-worker")
            continue;
        std::ifstream stat(task + "/stat");
        std::string line;
        std::getline(stat, line);
        std::istringstream fields(line.substr(line.rfind(')') + 2));
        std::string field;
        long utime = 0, stime = 0;
        for (int i = 3; i <= 15 && fields >> field; ++i) {
            if (i == 14)
                utime = std::atol(field.c_str());
            if (i == 15)
                stime = std::atol(field.c_str());
        }
        ticks = utime + stime;
    }
    ::closedir(dir);
    return ticks;
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
        if (argc < 2) {
            std::fprintf(stderr, "usage: %s CLIP [RUNS]\n", argv[0]);
            return 2;
        }
        const std::string self = argv[0];
        const std::string dir = self.substr(0, self.rfind('/') + 1);
        const std::string clip = argv[1];
        const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
        std::vector<double> worker, mpv;
        for (int i = 0; i < runs; ++i) {
            worker.push_back(childFigure({self, "--worker-play", clip}));
            mpv.push_back(childFigure({dir + "bench_playback", "--mpv-first-frame", clip}));
        }
        const double w = median(worker), m = median(mpv);
        std::printf("worker: play command to \"Playing\", median of %d: %.1f ms\n", runs, w);
        std::printf("mpv: first frame of the same clip, median of %d: %.1f ms\n", runs, m);
        std::printf("ratio worker / mpv: %.2f (goal: at most 1.2)\n", m > 0 ? w / m : -1.0);
        std::printf("worker thread CPU over 10 idle seconds: %.1f ms (goal: 0)\n",
                    childFigure({self, "--worker-idle", clip}));
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_worker: %s\n", e.what());
        return 1;
    }
}
