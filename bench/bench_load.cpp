// Many headless programs against one catalogue server at once: each starts, runs
// its online load and then a fixed mix of actions (pages, topics, side tabs,
// categories, text and image searches) through its automation channel. Prints the
// actions per second over all programs, the 50th and 99th percentile and the
// largest latency of one action, the errors (failed requests and error messages
// the programs showed), and the server's client connections before and after.
//   bench_load ZORVEX_BINARY WORKDIR_BASE CONFIG SERVER_SOCKET [PROGRAMS] [ACTIONS]
// Program i runs in WORKDIR_BASE/i, which must be prepared (scripts/prepare-workdir).

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ActionMix.h"
#include "AutomationProcess.h"

namespace {

int serverConnections(const std::string& socket) {
    const std::string command = "mariadb --no-defaults --batch --skip-column-names --user=root "
                                "--socket='" +
                                socket + "' -e \"SHOW GLOBAL STATUS LIKE 'Threads_connected'\"";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return -1;
    std::array<char, 256> line{};
    const bool read = std::fgets(line.data(), line.size(), pipe) != nullptr;
    ::pclose(pipe);
    const char* tab = read ? std::strchr(line.data(), '\t') : nullptr;
    return tab ? std::atoi(tab + 1) - 1 : -1; // not the asking connection
}

std::size_t countErrorDialogs(const std::string& reply) {
    std::size_t n = 0;
    for (std::size_t at = 0; (at = reply.find("\"type\":\"error\"", at)) != std::string::npos; ++at)
        ++n;
    return n;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr,
                     "usage: %s ZORVEX_BINARY WORKDIR_BASE CONFIG SERVER_SOCKET [PROGRAMS] "
                     "[ACTIONS]\n",
                     argv[0]);
        return 2;
    }
    const std::string binary = argv[1], base = argv[2], config = argv[3], socket = argv[4];
    const int programs = argc > 5 ? std::max(1, std::atoi(argv[5])) : 50;
    const int actions = argc > 6 ? std::max(1, std::atoi(argv[6])) : 1000;

    const int connectionsBefore = serverConnections(socket);
    std::mutex mutex;
    std::vector<double> latencies;
    latencies.reserve(static_cast<std::size_t>(programs) * static_cast<std::size_t>(actions));
    std::atomic<std::size_t> failedRequests{0}, errorMessages{0}, failedPrograms{0};
    std::vector<std::string> firstFailures;

    const auto began = std::chrono::steady_clock::now();
    std::vector<std::thread> threads;
    for (int i = 0; i < programs; ++i) {
        threads.emplace_back([&, i] {
            std::vector<double> mine;
            mine.reserve(static_cast<std::size_t>(actions));
            try {
                bench::AutomationProcess p(
                    binary, {"--workdir", base + "/" + std::to_string(i), "--config", config});
                p.request("[\"advance\",200]"); // the splash checks and the online load
                p.request("[\"event\",\"suiImageButton1\",\"Click\"]");
                p.request("[\"event\",\"videosidebarslide\",\"Pop\"]");
                const auto& all = bench::actionMix();
                for (int a = 0; a < actions; ++a) {
                    // Each program starts the mix at its own place.
                    const bench::Action& action = all[static_cast<std::size_t>(a + i) % all.size()];
                    const auto start = std::chrono::steady_clock::now();
                    try {
                        for (const auto& r : action.requests)
                            p.request(r);
                    } catch (const std::exception& e) {
                        if (failedRequests++ < 5) {
                            std::lock_guard lock(mutex);
                            firstFailures.push_back(std::string(action.name) + ": " + e.what());
                        }
                    }
                    mine.push_back(std::chrono::duration<double, std::milli>(
                                       std::chrono::steady_clock::now() - start)
                                       .count());
                }
                errorMessages += countErrorDialogs(p.request("[\"dialogs\"]"));
                p.request("[\"quit\"]");
            } catch (const std::exception& e) {
                ++failedPrograms;
                std::lock_guard lock(mutex);
                firstFailures.push_back("program " + std::to_string(i) + ": " + e.what());
            }
            std::lock_guard lock(mutex);
            latencies.insert(latencies.end(), mine.begin(), mine.end());
        });
    }
    for (auto& t : threads)
        t.join();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    // The programs have ended; give the server a moment to see their connections go.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const int connectionsAfter = serverConnections(socket);

    std::sort(latencies.begin(), latencies.end());
    auto percentile = [&](double p) {
        if (latencies.empty())
            return 0.0;
        const auto at = static_cast<std::size_t>(p * static_cast<double>(latencies.size() - 1));
        return latencies[at];
    };
    std::printf("%d programs x %d actions: %zu actions in %.1f s (start-up and online loads "
                "included), %.0f actions/s\n",
                programs, actions, latencies.size(), seconds,
                static_cast<double>(latencies.size()) / seconds);
    std::printf("latency of one action: p50 %.1f ms, p99 %.1f ms, max %.1f ms\n", percentile(0.5),
                percentile(0.99), latencies.empty() ? 0.0 : latencies.back());
    std::printf("errors: %zu failed requests, %zu error messages shown, %zu programs that "
                "failed\n",
                failedRequests.load(), errorMessages.load(), failedPrograms.load());
    for (const auto& f : firstFailures)
        std::printf("  %s\n", f.c_str());
    std::printf("server connections: %d before, %d after\n", connectionsBefore, connectionsAfter);
    return failedRequests || errorMessages || failedPrograms ? 1 : 0;
}
