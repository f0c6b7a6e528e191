// Resident memory of the headless program while it is used: after the online load
// and then after every 500 of 2,000 mixed actions (pages, topics, side tabs,
// categories, searches), with the growth over the second thousand. A program that
// keeps nothing it no longer shows stays level once every kind of page was shown.
//   bench_action_memory ZORVEX_BINARY WORKDIR CONFIG [ACTIONS]

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ActionMix.h"
#include "AutomationProcess.h"
#include "ProcessMemory.h"

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s ZORVEX_BINARY WORKDIR CONFIG [ACTIONS]\n", argv[0]);
        return 2;
    }
    const int actions = argc > 4 ? std::max(4, std::atoi(argv[4])) : 2000;
    try {
        bench::AutomationProcess p(argv[1], {"--workdir", argv[2], "--config", argv[3]});
        p.request("[\"advance\",200]"); // the splash checks, then the online load
        if (p.request("[\"state\",\"onlineMode\"]").find("\"data\":true") == std::string::npos)
            throw std::runtime_error("the online load did not finish; is the catalogue running?");
        const bench::ProcessMemory loaded = bench::ProcessMemory::of(p.pid());
        std::printf("headless memory after the online load: %s\n", loaded.text().c_str());

        p.request("[\"event\",\"suiImageButton1\",\"Click\"]");
        p.request("[\"event\",\"videosidebarslide\",\"Pop\"]");
        const auto& mix = bench::actionMix();
        const int step = actions / 4;
        std::vector<long> rss;
        for (int a = 1; a <= actions; ++a) {
            for (const auto& r : mix[static_cast<std::size_t>(a) % mix.size()].requests)
                p.request(r);
            if (a % step == 0) {
                const bench::ProcessMemory m = bench::ProcessMemory::of(p.pid());
                rss.push_back(m.rssKiB);
                std::printf("headless memory after %d actions: %s\n", a, m.text().c_str());
            }
        }
        const std::string dialogs = p.request("[\"dialogs\"]");
        const bool errors = dialogs.find("\"type\":\"error\"") != std::string::npos;
        std::printf("growth over the second half of the actions: %.1f MB%s\n",
                    static_cast<double>(rss.back() - rss[rss.size() / 2 - 1]) / 1024.0,
                    errors ? " (an error message was shown)" : "");
        p.request("[\"quit\"]");
        return errors ? 1 : 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_action_memory: %s\n", e.what());
        return 1;
    }
}
