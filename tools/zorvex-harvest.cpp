// zorvex-harvest: fills the catalogue from video feeds (RSS 2.0, Media RSS, Atom).
//
//   zorvex-harvest [--config FILE] [--once | --every MINUTES] [--json] [FEED_URL...]
//
// The feeds are those of the configuration (zorvex-harvest.ini next to the program,
// or FILE), or the URLs given, which then replace them. --once (the default)
// harvests once; --every harvests, waits MINUTES and harvests again until stopped
// (SIGINT or SIGTERM end the wait). A line per feed reports its items: new,
// updated, unchanged, skipped (no media link the player takes) and failed; then
// a summary. --json prints the summary as one JSON object on standard output and
// the progress lines on standard error.
//
// Exit status: 0 when every feed was harvested, 1 when any failed, 2 for a bad
// command line or configuration.

#include "harvest/HarvestConfig.h"
#include "harvest/Harvester.h"

#include "app/Installation.h"
#include "db/ClientSession.h"

#include <nlohmann/json.hpp>

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Options {
    std::string config;
    long everyMinutes = 0; ///< 0: once
    bool json = false;
    std::vector<std::string> urls;
};

[[noreturn]] void usage(const std::string& complaint) {
    if (!complaint.empty())
        std::cerr << "zorvex-harvest: " << complaint << "\n";
    std::cerr << "usage: zorvex-harvest [--config FILE] [--once | --every MINUTES] [--json] "
                 "[FEED_URL...]\n";
    std::exit(2);
}

Options parseOptions(int argc, char** argv) {
    Options options;
    bool once = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--config") {
            if (i + 1 >= argc)
                usage("--config needs a file");
            options.config = argv[++i];
        } else if (arg.rfind("--config=", 0) == 0) {
            options.config = arg.substr(9);
        } else if (arg == "--once") {
            once = true;
        } else if (arg == "--every" || arg.rfind("--every=", 0) == 0) {
            std::string value;
            if (arg == "--every") {
                if (i + 1 >= argc)
                    usage("--every needs a number of minutes");
                value = argv[++i];
            } else {
                value = arg.substr(8);
            }
            if (value.empty() || value.size() > 6 ||
                value.find_first_not_of("0123456789") != std::string::npos || std::stol(value) < 1)
                usage("--every needs a number of minutes from 1 to 999999, not '" + value + "'");
            options.everyMinutes = std::stol(value);
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "-h" || arg == "--help") {
            usage("");
        } else if (!arg.empty() && arg[0] == '-') {
            usage("unknown option " + arg);
        } else {
            options.urls.push_back(arg);
        }
    }
    if (once && options.everyMinutes)
        usage("--once and --every exclude each other");
    return options;
}

// The configuration when --config is not given. From the build tree:
// zorvex-harvest.ini next to the executable. Installed: the user's
// $XDG_CONFIG_HOME/zorvex/zorvex-harvest.ini when it exists, else the installed
// example in PREFIX/share/zorvex.
std::string defaultConfig() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (error)
        return {};
    const auto installation = app::Installation::find(self.parent_path().string());
    if (installation.installed) {
        const std::string user = app::userConfigFile(app::processEnvironment());
        if (!user.empty()) {
            const fs::path mine = fs::path(user).parent_path() / "zorvex-harvest.ini";
            if (fs::is_regular_file(mine, error))
                return mine.string();
        }
    }
    const fs::path beside = fs::path(installation.dataDir) / "zorvex-harvest.ini";
    return fs::is_regular_file(beside, error) ? beside.string() : std::string();
}

std::atomic<bool> stopping{false};

void stop(int) {
    stopping = true;
}

std::string progressLine(const harvest::FeedReport& f) {
    std::string line = (f.title.empty() ? f.source.url : f.title + " (" + f.source.url + ")") +
                       ": " + std::to_string(f.added) + " new, " + std::to_string(f.updated) +
                       " updated, " + std::to_string(f.unchanged) + " unchanged, " +
                       std::to_string(f.skipped) + " skipped, " + std::to_string(f.failed) +
                       " failed";
    if (!f.error.empty())
        line += " -- FAILED: " + f.error;
    return line;
}

nlohmann::json feedJson(const harvest::FeedReport& f) {
    nlohmann::json j;
    j["url"] = f.source.url;
    j["title"] = f.title;
    j["new"] = f.added;
    j["updated"] = f.updated;
    j["unchanged"] = f.unchanged;
    j["skipped"] = f.skipped;
    j["failed"] = f.failed;
    j["frames"] = f.frames;
    j["ok"] = f.ok();
    j["error"] = f.error.empty() ? nlohmann::json() : nlohmann::json(f.error);
    return j;
}

int harvestOnce(harvest::Harvester& harvester, const std::vector<harvest::FeedSource>& feeds,
                bool json) {
    std::ostream& progress = json ? std::cerr : std::cout;
    const harvest::HarvestReport report = harvester.run(feeds);
    const harvest::FeedReport t = report.totals();
    const std::size_t failedFeeds = report.failedFeeds();
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f", report.seconds);
    progress << "harvested " << report.feeds.size() << " feeds (" << failedFeeds << " failed) in "
             << seconds << " s: " << t.added << " new, " << t.updated << " updated, " << t.unchanged
             << " unchanged, " << t.skipped << " skipped, " << t.failed << " failed items"
             << std::endl;
    if (json) {
        nlohmann::json j;
        j["feeds"] = nlohmann::json::array();
        for (const auto& f : report.feeds)
            j["feeds"].push_back(feedJson(f));
        j["new"] = t.added;
        j["updated"] = t.updated;
        j["unchanged"] = t.unchanged;
        j["skipped"] = t.skipped;
        j["failed"] = t.failed;
        j["frames"] = t.frames;
        j["failedFeeds"] = failedFeeds;
        j["seconds"] = report.seconds;
        std::cout << j.dump() << std::endl;
    }
    return failedFeeds == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const Options options = parseOptions(argc, argv);
    harvest::HarvestSettings settings;
    try {
        const std::string config = options.config.empty() ? defaultConfig() : options.config;
        if (!config.empty())
            settings = harvest::loadHarvestConfig(config);
    } catch (const harvest::ConfigError& error) {
        std::cerr << "zorvex-harvest: " << error.what() << "\n";
        return 2;
    }
    std::vector<harvest::FeedSource> feeds = settings.feeds;
    if (!options.urls.empty()) {
        feeds.clear();
        for (const std::string& url : options.urls) {
            harvest::FeedSource feed;
            feed.url = url;
            feeds.push_back(feed);
        }
    }
    if (feeds.empty()) {
        std::cerr << "zorvex-harvest: no feeds: give their URLs, or list them as `feed = URL | "
                     "category | title | both` in the [harvest] section of the configuration\n";
        return 2;
    }

    struct sigaction action {};
    action.sa_handler = &stop;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    try {
        db::ClientSession session("zorvex-harvest");
        harvest::Harvester harvester(settings, session.scratch().string());
        std::ostream& progress = options.json ? std::cerr : std::cout;
        harvester.onFeedDone(
            [&](const harvest::FeedReport& f) { progress << progressLine(f) << std::endl; });
        int status = harvestOnce(harvester, feeds, options.json);
        while (options.everyMinutes > 0 && !stopping) {
            const auto next =
                std::chrono::steady_clock::now() + std::chrono::minutes(options.everyMinutes);
            while (!stopping && std::chrono::steady_clock::now() < next)
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
            if (!stopping)
                status = harvestOnce(harvester, feeds, options.json);
        }
        return status;
    } catch (const std::exception& error) {
        std::cerr << "zorvex-harvest: " << error.what() << "\n";
        return 1;
    }
}
