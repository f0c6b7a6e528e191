// Searches of the headless program against a large catalogue, through the
// automation channel: one popular and one latest text search page, each beside the
// same statement run by the mariadb command-line client against the same server
// (their ratio is the program's overhead), and an image search's first and next
// page. Prints medians over several runs.
//   bench_search ZORVEX_BINARY WORKDIR CONFIG PORT [RUNS] [WORD]

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>

#include <nlohmann/json.hpp>

#include "AutomationProcess.h"
#include "Timings.h"
#include "app/Config.h"
#include "search/TextStatements.h"

namespace {

nlohmann::json data(const std::string& reply) {
    return nlohmann::json::parse(reply).at("data");
}

// Milliseconds the mariadb client takes to connect as the program does (compressed,
// the program's account), run `sql` and print its rows to /dev/null.
double clientRun(const app::Config& config, const std::string& port, const std::string& sql) {
    const std::vector<std::string> args = {"mariadb",
                                           "--no-defaults",
                                           "--batch",
                                           "--compress",
                                           "--host=" + config.get("catalogue", "host"),
                                           "--port=" + port,
                                           "--user=" + config.get("catalogue", "user"),
                                           "--password=" + config.get("catalogue", "password"),
                                           "--database=halden",
                                           "--execute=" + sql};
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = -1;
    const int err = posix_spawnp(&pid, "mariadb", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (err != 0)
        throw std::runtime_error("cannot start the mariadb client");
    int status = 0;
    waitpid(pid, &status, 0);
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("the mariadb client failed on " + sql);
    return ms;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s ZORVEX_BINARY WORKDIR CONFIG PORT [RUNS] [WORD]\n",
                     argv[0]);
        return 2;
    }
    const int runs = argc > 5 ? std::max(1, std::atoi(argv[5])) : 5;
    const std::string word = argc > 6 ? argv[6] : "surfing";
    try {
        const app::Config config = app::Config::load(argv[3]);
        const search::Exclusions ex{config.get("search", "excluded_player_url"),
                                    config.get("search", "excluded_host")};
        std::vector<double> popular, popularClient, latest, latestClient, imageFirst, imageNext;
        int popularRows = 0, latestRows = 0;
        std::string imagePages;
        for (int r = 0; r < runs; ++r) {
            bench::AutomationProcess p(argv[1], {"--workdir", argv[2], "--config", argv[3]});
            p.request("[\"advance\",200]");
            if (p.request("[\"state\",\"onlineMode\"]").find("\"data\":true") == std::string::npos)
                throw std::runtime_error(
                    "the online load did not finish; is the catalogue running?");
            p.request("[\"event\",\"suiImageButton1\",\"Click\"]");
            p.request("[\"event\",\"sqlsearchedit\",\"Click\"]");
            p.request("[\"set\",\"sqlsearchedit\",\"text\"," + nlohmann::json(word).dump() + "]");

            // The popular text search, then the same statement through the client.
            p.request("[\"event\",\"mostpopularchecked\",\"Click\"]");
            popular.push_back(p.timed("[\"event\",\"textSearch\",\"Click\"]"));
            popularRows = data(p.request("[\"state\",\"textResultCount\"]")).get<int>();
            popularClient.push_back(
                clientRun(config, argv[4], search::PopularTextStatement(word, 0, ex)));

            // The latest text search and its statement, with the stored pieces.
            p.request("[\"event\",\"mostrecentchecked\",\"Click\"]");
            latest.push_back(p.timed("[\"event\",\"textSearch\",\"Click\"]"));
            latestRows = data(p.request("[\"state\",\"textResultCount\"]")).get<int>();
            const auto parts = data(p.request("[\"state\",\"textSearchSqlParts\"]"));
            search::TextSearchPieces pieces;
            for (std::size_t i = 1; i < pieces.size(); ++i)
                pieces[i] = parts.at(i - 1).get<std::string>();
            latestClient.push_back(
                clientRun(config, argv[4], search::LatestTextStatement(word, 0, pieces)));

            // The image search from the box (Enter), and its next page on Newest Videos.
            p.request("[\"event\",\"suiPageControl1\",\"TabActive\",{\"index\":2}]");
            imageFirst.push_back(
                p.timed("[\"event\",\"sqlsearchedit\",\"KeyPress\",{\"key\":\"\\r\"}]"));
            imageNext.push_back(p.timed("[\"event\",\"suiImageButton7\",\"Click\"]"));
            imagePages = data(p.request("[\"get\",\"resultsLabel\"]")).at("caption");
            if (!data(p.request("[\"dialogs\"]")).empty())
                throw std::runtime_error("a search reported an error: " +
                                         p.request("[\"dialogs\"]"));
        }
        std::printf("search word \"%s\": popular page %d rows, latest page %d rows, image "
                    "search next page \"%s\"\n",
                    word.c_str(), popularRows, latestRows, imagePages.c_str());
        bench::printTimings("popular text search page (program, through the channel)", popular);
        bench::printTimings("the same statement by the mariadb client", popularClient);
        std::printf("ratio program / client: %.2f\n",
                    bench::median(popular) / bench::median(popularClient));
        bench::printTimings("latest text search page (program, through the channel)", latest);
        bench::printTimings("the same statement by the mariadb client", latestClient);
        std::printf("ratio program / client: %.2f\n",
                    bench::median(latest) / bench::median(latestClient));
        bench::printTimings("image search, first page (Enter in the search box)", imageFirst);
        bench::printTimings("image search, next page (Newest Videos upper strip)", imageNext);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_search: %s\n", e.what());
        return 1;
    }
    return 0;
}
