// Page actions of the headless program against a large catalogue, through the
// automation channel: the online load, a Newest Videos paging click, a category
// double-click, a World and an Aus News page, and how long pointing at a thumbnail
// takes to reach the information labels. Prints medians over several runs.
//   bench_pages ZORVEX_BINARY WORKDIR CONFIG [RUNS]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "AutomationProcess.h"
#include "Timings.h"

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s ZORVEX_BINARY WORKDIR CONFIG [RUNS]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 4 ? std::max(1, std::atoi(argv[4])) : 5;
    try {
        std::vector<double> load, loadAfterSplash, paging, category, worldFirst, world, newsFirst,
            news, hover;
        for (int r = 0; r < runs; ++r) {
            bench::AutomationProcess p(argv[1], {"--workdir", argv[2], "--config", argv[3]});
            // The splash checks run 200 ms after start-up and then the online load;
            // the echo checks against this machine answer at once. Right after the
            // start the load also waits for the database library, which the program
            // starts on a thread of its own.
            load.push_back(p.timed("[\"advance\",200]"));
            {
                // The same in a second program once the splash has been shown for its
                // 200 ms, as a user sees it: the library is up by then.
                bench::AutomationProcess q(argv[1], {"--workdir", argv[2], "--config", argv[3]});
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
                loadAfterSplash.push_back(q.timed("[\"advance\",200]"));
            }
            if (p.request("[\"state\",\"onlineMode\"]").find("\"data\":true") == std::string::npos)
                throw std::runtime_error(
                    "the online load did not finish; is the catalogue running?");
            p.request("[\"event\",\"suiImageButton1\",\"Click\"]");
            for (int i = 0; i < 5; ++i)
                paging.push_back(p.timed("[\"event\",\"suiImageButton7\",\"Click\"]"));
            p.request("[\"set\",\"CatList\",\"selected\",0]");
            for (int i = 0; i < 5; ++i)
                category.push_back(p.timed("[\"event\",\"CatList\",\"DblClick\"]"));

            // The side bar's first appearance fills the World tab; its right strip
            // pages it. The first choice of Aus News fills that tab likewise.
            worldFirst.push_back(p.timed("[\"event\",\"videosidebarslide\",\"Pop\"]"));
            for (int i = 0; i < 5; ++i)
                world.push_back(p.timed("[\"event\",\"suiImageButton8\",\"Click\"]"));
            newsFirst.push_back(p.timed("[\"event\",\"sidepage\",\"TabActive\",{\"index\":1}]"));
            for (int i = 0; i < 5; ++i)
                news.push_back(p.timed("[\"event\",\"suiImageButton11\",\"Click\"]"));
            if (p.request("[\"state\",\"newsOffset\"]").find("\"data\":80") == std::string::npos)
                throw std::runtime_error("the Aus News tab did not page");

            // Pointing: the mouse move and the read of the title label it fills. The
            // leave between two moves is not counted.
            p.request("[\"event\",\"querybutton1\",\"Click\"]");
            for (int i = 0; i < 10; ++i) {
                const auto start = std::chrono::steady_clock::now();
                p.request("[\"event\",\"featurepic3\",\"MouseMove\",{\"x\":5,\"y\":5}]");
                p.request("[\"get\",\"titledis\"]");
                hover.push_back(std::chrono::duration<double, std::milli>(
                                    std::chrono::steady_clock::now() - start)
                                    .count());
                if (p.request("[\"state\",\"hoverEnlarged\"]").find("\"data\":true") ==
                    std::string::npos)
                    throw std::runtime_error("pointing at featurepic3 did not select it");
                p.request("[\"event\",\"featurepic3\",\"MouseLeave\"]");
            }
        }
        bench::printTimings("online load (SetOnlineMode(true), with the splash checks)", load);
        bench::printTimings("online load after the splash's 200 ms (with the splash checks)",
                            loadAfterSplash);
        bench::printTimings("Newest Videos paging click", paging);
        bench::printTimings("category double-click", category);
        bench::printTimings("World tab, first fill (side bar pop)", worldFirst);
        bench::printTimings("World tab page (right strip click)", world);
        bench::printTimings("Aus News tab, first fill (first choice of the tab)", newsFirst);
        bench::printTimings("Aus News tab page (right strip click)", news);
        bench::printTimings("thumbnail mouse move to information labels (move + get titledis)",
                            hover);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_pages: %s\n", e.what());
        return 1;
    }
    return 0;
}
