// Page actions of the headless program against a large catalogue, through the
// automation channel: the online load, a Newest Videos paging click and a
// category double-click. Prints medians over several runs.
//   bench_pages ZORVEX_BINARY WORKDIR CONFIG [RUNS]

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "AutomationProcess.h"

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void print(const char* what, const std::vector<double>& ms) {
    std::printf("%s: median %.1f ms (min %.1f, max %.1f, %zu runs)\n", what, median(ms),
                *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()), ms.size());
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s ZORVEX_BINARY WORKDIR CONFIG [RUNS]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 4 ? std::max(1, std::atoi(argv[4])) : 5;
    try {
        std::vector<double> load, paging, category;
        for (int r = 0; r < runs; ++r) {
            bench::AutomationProcess p(argv[1], {"--workdir", argv[2], "--config", argv[3]});
            // The splash checks run 200 ms after start-up and then the online load;
            // the echo checks against this machine answer at once.
            load.push_back(p.timed("[\"advance\",200]"));
            if (p.request("[\"state\",\"onlineMode\"]").find("\"data\":true") == std::string::npos)
                throw std::runtime_error("the online load did not finish; is the catalogue running?");
            p.request("[\"event\",\"suiImageButton1\",\"Click\"]");
            for (int i = 0; i < 5; ++i)
                paging.push_back(p.timed("[\"event\",\"suiImageButton7\",\"Click\"]"));
            p.request("[\"set\",\"CatList\",\"selected\",0]");
            for (int i = 0; i < 5; ++i)
                category.push_back(p.timed("[\"event\",\"CatList\",\"DblClick\"]"));
        }
        print("online load (SetOnlineMode(true), with the splash checks)", load);
        print("Newest Videos paging click", paging);
        print("category double-click", category);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_pages: %s\n", e.what());
        return 1;
    }
    return 0;
}
