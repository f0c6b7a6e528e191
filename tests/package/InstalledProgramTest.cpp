// The installed program: `cmake --install` has put it under ZORVEX_PACKAGE_ROOT/usr
// (the ctest fixture package.install), and these tests start it from there with a
// fresh per-user environment, as a user who installed the package would.

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "support/TempDir.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

const fs::path kPrefix = fs::path(ZORVEX_PACKAGE_ROOT) / "usr";

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
    /// The replies on the standard output, by id.
    std::map<int, json> replies() const {
        std::map<int, json> byId;
        std::istringstream lines(out);
        for (std::string line; std::getline(lines, line);)
            if (auto j = json::parse(line, nullptr, false); !j.is_discarded() && j.contains("id"))
                byId[j["id"].get<int>()] = j;
        return byId;
    }
};

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

/// Runs `args` with the environment changed by `vars` (a nullopt value removes the
/// variable), `input` on its standard input; waits for it to end.
/// With `asNobody`, and when this process runs as root, the program runs as the
/// unprivileged user, so that permissions count.
Outcome run(const testsupport::TempDir& dir, std::vector<std::string> args,
            const std::map<std::string, std::optional<std::string>>& vars,
            const std::string& input = "", bool asNobody = false) {
    if (asNobody && ::geteuid() == 0)
        args.insert(args.begin(),
                    {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry(*e);
        if (!vars.count(entry.substr(0, entry.find('='))))
            env.push_back(entry);
    }
    for (const auto& [name, value] : vars)
        if (value)
            env.push_back(name + "=" + *value);
    const std::string in = dir.write("stdin", input);
    const std::string out = dir.file("stdout");
    const std::string err = dir.file("stderr");
    for (const auto& f : {in, out, err})
        ::chmod(f.c_str(), 0666);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    std::vector<char*> argv, envp;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    Outcome outcome;
    if (rc != 0) {
        outcome.err = std::string("cannot start ") + argv[0] + ": " + std::strerror(rc);
        return outcome;
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    outcome.out = slurp(out);
    outcome.err = slurp(err);
    return outcome;
}

std::string variable(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return value && *value ? value : fallback;
}

std::string requests(const std::vector<json>& commands) {
    std::string text;
    int id = 0;
    for (const auto& c : commands)
        text += json{{"id", ++id}, {"command", c}}.dump() + "\n";
    return text;
}

/// A fresh user: an empty home, and no XDG variables unless a test sets them.
class InstalledProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(fs::exists(kPrefix / "bin" / "zorvex"))
            << "the program is not installed under " << kPrefix;
        fs::permissions(dir.path(), fs::perms::all); // reachable by the unprivileged user
        fs::create_directories(home());
    }
    fs::path home() const { return dir.path() / "home"; }
    std::map<std::string, std::optional<std::string>>
    user(std::map<std::string, std::optional<std::string>> more = {}) const {
        std::map<std::string, std::optional<std::string>> vars{{"HOME", home().string()},
                                                               {"XDG_DATA_HOME", std::nullopt},
                                                               {"XDG_CONFIG_HOME", std::nullopt}};
        for (auto& [k, v] : more)
            vars[k] = v;
        return vars;
    }
    /// The user's zorvex.ini, pointing at the test catalogue.
    void writeUserConfig(const fs::path& configHome) const {
        fs::create_directories(configHome / "zorvex");
        std::ofstream(configHome / "zorvex" / "zorvex.ini")
            << "[catalogue]\nhost = " << variable("ZORVEX_TEST_CATALOGUE_HOST", "127.0.0.1")
            << "\nport = " << variable("ZORVEX_TEST_CATALOGUE_PORT", "3307") << "\n";
    }
    std::string zorvex() const { return (kPrefix / "bin" / "zorvex").string(); }

    testsupport::TempDir dir{"zorvex-package"};
};

TEST_F(InstalledProgram, LaysItsFilesOutInThePrefix) {
    for (const char* f :
         {"bin/zorvex", "libexec/zorvex/zorvex-store-install",
          "libexec/zorvex/zorvex-prepare-workdir", "share/zorvex/zorvex.ini",
          "share/zorvex/fl8b.swf", "share/zorvex/CalmnessColor2.ssk",
          "share/zorvex/SteelBlack2.ssk", "share/zorvex/bookmark.sql", "share/zorvex/noimage.jpg",
          "share/applications/zorvex.desktop", "share/icons/hicolor/scalable/apps/zorvex.svg",
          "share/icons/hicolor/48x48/apps/zorvex.png", "share/man/man1/zorvex.1"})
        EXPECT_TRUE(fs::is_regular_file(kPrefix / f)) << f;
    if (fs::exists("/usr/bin/desktop-file-validate")) {
        const auto v = run(dir,
                           {"/usr/bin/desktop-file-validate",
                            (kPrefix / "share/applications/zorvex.desktop").string()},
                           {});
        EXPECT_EQ(v.status, 0) << v.out << v.err;
        EXPECT_EQ(v.out + v.err, "");
    }
}

TEST_F(InstalledProgram, HelpListsTheOptions) {
    const auto r = run(dir, {zorvex(), "--help"}, user());
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("--workdir DIR"), std::string::npos) << r.out;
    EXPECT_FALSE(fs::exists(home() / ".local")) << "--help prepared a data directory";
}

// The whole first start: a data home that does not exist yet is made and prepared
// by the install step, the user's settings win over the installed ones (which
// point at port 3306), and a bookmark goes into the new store and stays there.
TEST_F(InstalledProgram, FirstStartPreparesAFreshDataHomeAndStoresABookmark) {
    const fs::path dataHome = dir.path() / "fresh" / "data";
    const fs::path configHome = dir.path() / "config";
    writeUserConfig(configHome);
    const auto vars =
        user({{"XDG_DATA_HOME", dataHome.string()}, {"XDG_CONFIG_HOME", configHome.string()}});
    const auto first = run(dir, {zorvex(), "--headless", "--automation=stdio"}, vars,
                           requests({{"advance", 200},
                                     {"state", "onlineMode"},
                                     {"event", "suiImageButton1", "Click"},
                                     {"state", "featureSlots"},
                                     {"event", "featurepic1", "MouseMove", {{"x", 5}, {"y", 5}}},
                                     {"menu", "AddtoFavourites1"},
                                     {"event", "bookmarkbox.Button4", "Click"},
                                     {"dialogs"},
                                     {"quit"}}));
    ASSERT_EQ(first.status, 0) << first.err;
    auto replies = first.replies();
    ASSERT_EQ(replies.size(), 9u) << first.out << first.err;
    // The install step spoke on the standard error: the output holds the replies only.
    EXPECT_EQ(std::count(first.out.begin(), first.out.end(), '\n'), 9) << first.out;
    EXPECT_NE(first.err.find("bookmark store ready"), std::string::npos) << first.err;
    for (auto& [id, reply] : replies)
        EXPECT_EQ(reply["error"], "success") << reply.dump();
    EXPECT_EQ(replies[2]["data"], true) << "the online load did not reach the test catalogue";
    const std::string link = replies[4]["data"][0]["mediaLink"];

    const fs::path data = dataHome / "zorvex";
    for (const char* f : {"Data", "charsets", "errmsg.sys", "noimage.jpg"})
        EXPECT_TRUE(fs::exists(data / f)) << f;

    // A second start finds the prepared store with the bookmark in it.
    const auto second = run(dir, {zorvex(), "--headless", "--automation=stdio"}, vars,
                            requests({{"advance", 200},
                                      {"event", "suiImageButton1", "Click"},
                                      {"event", "suiImageButton27", "Click"},
                                      {"state", "bookmarkCount"},
                                      {"state", "bookmarkSlots"},
                                      {"quit"}}));
    ASSERT_EQ(second.status, 0) << second.err;
    // The dialogs of the first run, should the bookmark not be there.
    SCOPED_TRACE(replies[8].dump());
    replies = second.replies();
    EXPECT_EQ(replies[4]["data"], 1) << second.out;
    EXPECT_EQ(replies[5]["data"][0]["mediaLink"], link) << second.out;
}

TEST_F(InstalledProgram, DefaultDataHomeIsUnderHome) {
    const auto r = run(dir, {zorvex(), "--headless", "--automation=stdio"}, user(),
                       requests({{"state", "bookmarkStoreOpen"}, {"quit"}}));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::is_directory(home() / ".local/share/zorvex/Data")) << r.err;
}

TEST_F(InstalledProgram, ReadOnlyDataHomeIsNamed) {
    const fs::path dataHome = dir.path() / "readonly";
    fs::create_directories(dataHome);
    fs::permissions(dataHome, fs::perms::owner_read | fs::perms::owner_exec |
                                  fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
    const auto r = run(dir, {zorvex(), "--headless", "--automation=stdio"},
                       user({{"XDG_DATA_HOME", dataHome.string()}}), requests({{"quit"}}), true);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("zorvex: cannot make the data directory " + dataHome.string() +
                         "/zorvex: Permission denied"),
              std::string::npos)
        << r.err;
}

TEST_F(InstalledProgram, UnwritableHomeIsNamed) {
    fs::permissions(home(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                                fs::perms::others_exec);
    const auto r = run(dir, {zorvex(), "--headless", "--automation=stdio"}, user(),
                       requests({{"quit"}}), true);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("zorvex: cannot make the data directory " + home().string() +
                         "/.local/share/zorvex"),
              std::string::npos)
        << r.err;
}

TEST_F(InstalledProgram, DataHomeThatIsAFileIsNamed) {
    const auto file = dir.write("plain", "not a folder");
    const auto r = run(dir, {zorvex(), "--headless", "--automation=stdio"},
                       user({{"XDG_DATA_HOME", file}}), requests({{"quit"}}));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("zorvex: cannot make the data directory " + file + "/zorvex"),
              std::string::npos)
        << r.err;
}

// --workdir keeps its meaning: the directory is used as given, and not prepared.
TEST_F(InstalledProgram, WorkdirIsUsedAsGivenWithoutTheInstallStep) {
    const fs::path work = dir.path() / "work";
    fs::create_directories(work);
    const auto r =
        run(dir, {zorvex(), "--headless", "--automation=stdio", "--workdir", work.string()}, user(),
            requests({{"quit"}}));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(fs::exists(work / "Data"));
    EXPECT_FALSE(fs::exists(home() / ".local"));
}

} // namespace
