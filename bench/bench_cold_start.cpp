// Cold start of the headless program: from spawning `zorvex --headless
// --automation=stdio` to its first automation reply. Prints the median and the
// spread over several runs.
//   bench_cold_start ZORVEX_BINARY WORKDIR [RUNS]

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "AutomationProcess.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s ZORVEX_BINARY WORKDIR [RUNS]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 10;
    try {
        auto once = [&] {
            const auto start = std::chrono::steady_clock::now();
            bench::AutomationProcess p(argv[1], {"--workdir", argv[2]});
            p.request("[\"controls\"]");
            return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() -
                                                             start)
                .count();
        };
        once(); // warm the page cache
        std::vector<double> ms;
        for (int i = 0; i < runs; ++i)
            ms.push_back(once());
        std::sort(ms.begin(), ms.end());
        std::printf(
            "cold start to first automation reply: median %.1f ms (min %.1f, max %.1f, %d runs)\n",
            ms[ms.size() / 2], ms.front(), ms.back(), runs);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_cold_start: %s\n", e.what());
        return 1;
    }
    return 0;
}
