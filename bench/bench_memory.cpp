// Resident memory of the headless program, `zorvex --headless --automation=stdio`,
// driven through its automation channel: at its first reply, one second later (the
// embedded bookmark server starts in the background meanwhile) and after the online
// load against the catalogue. Also says how many Qt libraries the process maps.
//   bench_memory ZORVEX_BINARY WORKDIR CONFIG [RUNS]

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "AutomationProcess.h"
#include "ProcessMemory.h"

namespace {

bench::ProcessMemory median(std::vector<bench::ProcessMemory> v) {
    std::sort(v.begin(), v.end(), [](const auto& a, const auto& b) { return a.rssKiB < b.rssKiB; });
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s ZORVEX_BINARY WORKDIR CONFIG [RUNS]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 4 ? std::max(1, std::atoi(argv[4])) : 3;
    try {
        std::vector<bench::ProcessMemory> replied, started, loaded;
        int qt = 0;
        for (int r = 0; r < runs; ++r) {
            bench::AutomationProcess p(argv[1], {"--workdir", argv[2], "--config", argv[3]});
            p.request("[\"controls\"]");
            replied.push_back(bench::ProcessMemory::of(p.pid()));
            std::this_thread::sleep_for(std::chrono::seconds(1));
            started.push_back(bench::ProcessMemory::of(p.pid()));
            // The splash checks run 200 ms after start-up, then the online load.
            p.request("[\"advance\",200]");
            if (p.request("[\"state\",\"onlineMode\"]").find("\"data\":true") == std::string::npos)
                throw std::runtime_error(
                    "the online load did not finish; is the catalogue running?");
            loaded.push_back(bench::ProcessMemory::of(p.pid()));
            qt = std::max(qt, bench::qtLibrariesMapped(p.pid()));
        }
        std::printf("headless memory at the first reply: %s (median of %d runs)\n",
                    median(replied).text().c_str(), runs);
        std::printf("headless memory after start, embedded server up: %s (median of %d runs)\n",
                    median(started).text().c_str(), runs);
        std::printf("headless memory after the online load: %s (median of %d runs)\n",
                    median(loaded).text().c_str(), runs);
        std::printf("Qt libraries mapped by the headless program: %d\n", qt);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_memory: %s\n", e.what());
        return 1;
    }
    return 0;
}
