#include "HarvestSupport.h"

#include "db/Query.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

extern char** environ;

namespace harvesttest {

namespace fs = std::filesystem;

namespace {

const char* env(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return value && *value ? value : fallback;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

int run(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string demoWeb() {
    return std::string(ZORVEX_SOURCE_DIR) + "/scripts/demo-web";
}

} // namespace

db::ConnectionSettings harvesterSettings() {
    db::ConnectionSettings s;
    s.host = env("ZORVEX_TEST_CATALOGUE_HOST", "127.0.0.1");
    s.port = static_cast<unsigned>(std::atoi(env("ZORVEX_TEST_CATALOGUE_PORT", "3307")));
    s.user = "harvester";
    s.password = "hv7!Feeds&Clips";
    s.database = "halden";
    s.compress = false;
    return s;
}

namespace {
std::unique_ptr<db::Connection> rootConnection;
}

void closeRoot() {
    rootConnection.reset();
}

db::Connection& root() {
    std::unique_ptr<db::Connection>& connection = rootConnection;
    if (!connection) {
        db::ConnectionSettings s;
        s.host = "localhost";
        s.socket = std::string(env("ZORVEX_TEST_CATALOGUE_DATADIR",
                                   ZORVEX_SOURCE_DIR "/var/test-catalogue")) +
                   "/mysqld.sock";
        s.user = "root";
        s.database = "halden";
        connection = std::make_unique<db::Connection>(s);
        connection->connect();
    }
    return *connection;
}

std::string scalar(const std::string& sql) {
    db::Query q(root(), "halden");
    q.setSql(sql);
    q.open();
    return q.eof() ? std::string() : q.field(0).text();
}

int webPort() {
    return std::atoi(env("ZORVEX_TEST_HARVEST_WEB_PORT", "8105"));
}

HarvestProcess::HarvestProcess(const std::vector<std::string>& args, const std::string& outputFile)
    : outputFile_(outputFile) {
    std::vector<std::string> all = {ZORVEX_HARVEST};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (const std::string& a : all)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0)
        pid_ = pid;
    posix_spawn_file_actions_destroy(&actions);
}

HarvestProcess::~HarvestProcess() {
    if (pid_ > 0 && status_ == -2) {
        ::kill(pid_, SIGKILL);
        wait();
    }
}

int HarvestProcess::wait() {
    if (status_ != -2 || pid_ <= 0)
        return status_;
    int status = 0;
    waitpid(pid_, &status, 0);
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return status_;
}

std::string HarvestProcess::output() const {
    return readFile(outputFile_);
}

HarvestSite::HarvestSite() {
    siteRoot_ = (dir_.path() / "site").string();
    fs::create_directories(fs::path(siteRoot_) / "feeds");
    writeFile(siteRoot_ + "/index.html", "<html><body>Harvest tests</body></html>\n");
    const std::string here = "127.0.0.1:" + std::to_string(webPort());
    for (const char* name : {"news.rss", "wildlife.rss", "science.atom"})
        writeFeed(name,
                  replaced(readFile(std::string(ZORVEX_SOURCE_DIR) + "/demo/web/feeds/" + name),
                           "127.0.0.1:8090", here));
    const std::string media = env("ZORVEX_MEDIA_DIR", ZORVEX_SOURCE_DIR "/var/media");
    running_ = run({demoWeb(), "start", "--port", std::to_string(webPort()), "--root", siteRoot_,
                    "--media-dir", media, "--rundir", dir_.path().string()}) == 0;
    if (!running_)
        ADD_FAILURE() << "scripts/demo-web could not start on port " << webPort();
    removeRows();
}

HarvestSite::~HarvestSite() {
    // A test that locks the harvester out lets it in again, however it ended.
    root().execute("ALTER USER 'harvester'@'127.0.0.1' ACCOUNT UNLOCK");
    root().execute("ALTER USER 'harvester'@'localhost' ACCOUNT UNLOCK");
    run({demoWeb(), "stop", "--port", std::to_string(webPort()), "--rundir", dir_.path().string()});
    removeRows();
}

void HarvestSite::removeRows() const {
    const std::string here = "127.0.0.1:" + std::to_string(webPort());
    root().execute("DELETE FROM videosnap WHERE rssfeedurl LIKE 'http://" + here + "/%'");
    root().execute("DELETE FROM videopodcasthistory WHERE rssurl LIKE 'http://" + here +
                   "/%' OR medialink LIKE 'http://" + here + "/%'");
}

std::string HarvestSite::feedUrl(const std::string& name) const {
    return "http://127.0.0.1:" + std::to_string(webPort()) + "/feeds/" + name;
}

void HarvestSite::writeFeed(const std::string& name, const std::string& xml) const {
    // Through a new file, so the site never serves half a feed.
    const fs::path target = fs::path(siteRoot_) / "feeds" / name;
    writeFile(target.string() + ".part", xml);
    fs::rename(target.string() + ".part", target);
}

std::string HarvestSite::writeConfig(const std::string& feedLines, const std::string& extra) const {
    const db::ConnectionSettings s = harvesterSettings();
    return dir_.write("harvest.ini", "[catalogue]\nhost = " + s.host +
                                         "\nport = " + std::to_string(s.port) +
                                         "\n[harvest]\ntime_limit = 20\n" + extra + feedLines);
}

std::string HarvestSite::demoConfig() const {
    return writeConfig("feed = " + feedUrl("news.rss") + " | | Harbour City Newsroom | both\n" +
                       "feed = " + feedUrl("wildlife.rss") + " | Animals | | both\n" +
                       "feed = " + feedUrl("science.atom") + " | Science | | both\n");
}

int HarvestSite::harvest(const std::vector<std::string>& args, nlohmann::json& summary) const {
    std::vector<std::string> all = {"--json"};
    all.insert(all.end(), args.begin(), args.end());
    HarvestProcess process(all, (dir_.path() / "summary.json").string());
    const int status = process.wait();
    const std::string out = process.output();
    summary = nlohmann::json::parse(out, nullptr, false);
    if (summary.is_discarded())
        ADD_FAILURE() << "not a JSON summary: " << out;
    return status;
}

long HarvestSite::rows(const std::string& table) const {
    const std::string column = table == "videosnap" ? "rssfeedurl" : "medialink";
    return std::stol(scalar("SELECT COUNT(*) FROM " + table + " WHERE " + column +
                            " LIKE 'http://127.0.0.1:" + std::to_string(webPort()) + "/%'"));
}

long HarvestSite::duplicates(const std::string& table) const {
    return std::stol(scalar("SELECT COUNT(*) FROM (SELECT medialink FROM " + table +
                            " WHERE medialink LIKE 'http://127.0.0.1:" + std::to_string(webPort()) +
                            "/%' GROUP BY medialink HAVING COUNT(*) > 1) AS twice"));
}

void HarvestTest::SetUp() {
    CatalogueTest::SetUp();
    if (HasFatalFailure())
        return;
    site_ = std::make_unique<HarvestSite>();
    ASSERT_TRUE(site_->running());
}

void HarvestTest::TearDown() {
    site_.reset();
    closeRoot();
    CatalogueTest::TearDown();
}

std::string generatedFeed(int count, const std::string& host, const std::string& titlePrefix) {
    std::string xml = "<?xml version=\"1.0\"?>\n<rss version=\"2.0\" "
                      "xmlns:media=\"http://search.yahoo.com/mrss/\"><channel>"
                      "<title>Generated</title>\n";
    for (int i = 0; i < count; ++i)
        xml += "<item><title>" + titlePrefix + " " + std::to_string(i) +
               "</title><media:content url=\"http://" + host +
               "/media/demo-clip.mp4?generated=" + std::to_string(i) +
               "\" type=\"video/mp4\"/></item>\n";
    xml += "</channel></rss>\n";
    return xml;
}

} // namespace harvesttest
