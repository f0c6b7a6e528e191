// zorvex-harvest's speed and memory: items harvested per second from feeds on a
// local web site, without and with frame extraction (the items offer no pictures),
// and the program's peak memory on a feed of 100,000 items.
//
//   bench_harvest REPO HARVEST CATALOGUE_PORT [RUNS]
//
// REPO is the checkout (for scripts/demo-web and var/media), HARVEST the built
// zorvex-harvest, CATALOGUE_PORT a demo catalogue on 127.0.0.1 with the harvester's
// account. The web site runs on ZORVEX_BENCH_HARVEST_WEB_PORT (default 8105). Every
// run harvests links of its own, so every item is new.

#include "Timings.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    double seconds = 0;
    long peakKiB = 0;
    std::string output;
};

Outcome run(const std::vector<std::string>& args, const std::string& outputFile) {
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    const auto started = std::chrono::steady_clock::now();
    pid_t pid = -1;
    Outcome outcome;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        throw std::runtime_error("cannot start " + args[0]);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    outcome.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    outcome.peakKiB = usage.ru_maxrss;
    std::ifstream in(outputFile);
    std::ostringstream text;
    text << in.rdbuf();
    outcome.output = text.str();
    return outcome;
}

void writeFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

// A Media RSS feed of `count` items with links of run `tag`, none with a picture.
void writeFeed(const fs::path& path, int count, const std::string& host, const std::string& tag) {
    std::ofstream out(path, std::ios::binary);
    out << "<?xml version=\"1.0\"?>\n<rss version=\"2.0\" "
           "xmlns:media=\"http://search.yahoo.com/mrss/\"><channel><title>Bench "
        << tag << "</title>\n";
    static const char* clips[] = {"demo-clip.mp4", "demo-clip.wmv", "demo-clip.flv",
                                  "demo-clip.asf"};
    for (int i = 0; i < count; ++i)
        out << "<item><title>Bench item " << i << " of run " << tag
            << "</title><description>An item of the harvester's benchmark, number " << i
            << ".</description><pubDate>Mon, 03 Jun 2024 10:00:00 GMT</pubDate><media:content "
               "url=\"http://"
            << host << "/media/" << clips[i % 4] << "?bench=" << tag << "-" << i
            << "\" type=\"video/mp4\" medium=\"video\"/></item>\n";
    out << "</channel></rss>\n";
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: bench_harvest REPO HARVEST CATALOGUE_PORT [RUNS]\n");
        return 2;
    }
    const fs::path repo = argv[1];
    const std::string harvest = argv[2];
    const std::string cataloguePort = argv[3];
    const int runs = argc > 4 ? std::max(1, std::atoi(argv[4])) : 3;
    const char* portText = std::getenv("ZORVEX_BENCH_HARVEST_WEB_PORT");
    const std::string webPort = portText && *portText ? portText : "8105";
    const std::string host = "127.0.0.1:" + webPort;

    char pattern[] = "/tmp/zorvex-bench-harvest-XXXXXX";
    if (!mkdtemp(pattern))
        return 1;
    const fs::path dir = pattern;
    const fs::path site = dir / "site";
    fs::create_directories(site / "feeds");
    writeFile(site / "index.html", "<html><body>bench</body></html>\n");
    const std::string demoWeb = (repo / "scripts" / "demo-web").string();
    const std::string media = (repo / "var" / "media").string();
    if (run({demoWeb, "start", "--port", webPort, "--root", site.string(), "--media-dir", media,
             "--rundir", dir.string()},
            (dir / "web.txt").string())
            .status != 0) {
        std::fprintf(stderr, "bench_harvest: the web site did not start on port %s\n",
                     webPort.c_str());
        return 1;
    }
    const auto config = [&](bool frames, const std::string& feed) {
        const fs::path path = dir / "harvest.ini";
        writeFile(path, "[catalogue]\nport = " + cataloguePort +
                            "\n[harvest]\nmax_feed_mib = 128\nframes = " + (frames ? "yes" : "no") +
                            "\nfeed = http://" + host + "/feeds/" + feed + " | Bench | | both\n");
        return path.string();
    };
    int failures = 0;
    const auto measure = [&](const char* what, int items, bool frames, int times) {
        std::vector<double> perSecond;
        long peak = 0;
        for (int r = 0; r < times; ++r) {
            const std::string tag = std::to_string(::getpid()) + "-" + std::to_string(items) +
                                    (frames ? "f" : "n") + std::to_string(r);
            writeFeed(site / "feeds" / (tag + ".rss"), items, host, tag);
            const Outcome o = run({harvest, "--config", config(frames, tag + ".rss"), "--json"},
                                  (dir / "out.json").string());
            const nlohmann::json summary = nlohmann::json::parse(o.output, nullptr, false);
            if (o.status != 0 || summary.is_discarded() || summary["new"] != items) {
                std::fprintf(stderr, "bench_harvest: %s: run failed (%d): %s\n", what, o.status,
                             o.output.c_str());
                ++failures;
                continue;
            }
            perSecond.push_back(items / o.seconds);
            peak = std::max(peak, o.peakKiB);
            fs::remove(site / "feeds" / (tag + ".rss"));
        }
        if (perSecond.empty())
            return;
        std::sort(perSecond.begin(), perSecond.end());
        std::printf("%s: median %.0f items/s (min %.0f, max %.0f, %zu runs), peak memory %.1f "
                    "MiB\n",
                    what, bench::median(perSecond), perSecond.front(), perSecond.back(),
                    perSecond.size(), peak / 1024.0);
    };
    measure("2,000 new items, placeholder thumbnails (no frame extraction)", 2000, false, runs);
    measure("100 new items, a frame of each video as its thumbnail", 100, true, runs);
    measure("100,000 new items in one feed (streamed), placeholder thumbnails", 100000, false, 1);

    run({demoWeb, "stop", "--port", webPort, "--rundir", dir.string()}, (dir / "web.txt").string());
    std::error_code ignored;
    fs::remove_all(dir, ignored);
    return failures == 0 ? 0 : 1;
}
