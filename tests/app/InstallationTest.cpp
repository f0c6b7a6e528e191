#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "app/CommandLine.h"
#include "app/Installation.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

app::Environment environment(std::map<std::string, std::string> vars) {
    return [vars = std::move(vars)](std::string_view name) -> std::optional<std::string> {
        if (auto it = vars.find(std::string(name)); it != vars.end())
            return it->second;
        return std::nullopt;
    };
}

std::string errorOf(const std::function<void()>& fn) {
    try {
        fn();
    } catch (const app::InstallError& e) {
        return e.what();
    }
    return "";
}

// PREFIX/bin, PREFIX/share/zorvex with its zorvex.ini, PREFIX/libexec/zorvex.
fs::path makePrefix(const testsupport::TempDir& dir, const std::string& installedIni) {
    const fs::path prefix = dir.path() / "usr";
    fs::create_directories(prefix / "bin");
    fs::create_directories(prefix / "share" / "zorvex");
    fs::create_directories(prefix / "libexec" / "zorvex");
    std::ofstream(prefix / "share" / "zorvex" / "zorvex.ini") << installedIni;
    return prefix;
}

void writeStep(const fs::path& libexec, const std::string& body) {
    const fs::path step = libexec / "zorvex-prepare-workdir";
    std::ofstream(step) << "#!/bin/sh\n" << body;
    fs::permissions(step, fs::perms::owner_all);
}

TEST(Installation, DataDirectoryFollowsXdgDataHomeElseHome) {
    EXPECT_EQ(app::userDataDir(environment({{"XDG_DATA_HOME", "/d"}, {"HOME", "/h"}})),
              "/d/zorvex");
    EXPECT_EQ(app::userDataDir(environment({{"HOME", "/h"}})), "/h/.local/share/zorvex");
    // An empty or relative value is not a base directory and is ignored.
    EXPECT_EQ(app::userDataDir(environment({{"XDG_DATA_HOME", ""}, {"HOME", "/h"}})),
              "/h/.local/share/zorvex");
    EXPECT_EQ(app::userDataDir(environment({{"XDG_DATA_HOME", "rel"}, {"HOME", "/h"}})),
              "/h/.local/share/zorvex");
    EXPECT_NE(errorOf([] {
                  (void)app::userDataDir(environment({{"HOME", "rel"}}));
              }).find("neither XDG_DATA_HOME nor HOME"),
              std::string::npos);
}

TEST(Installation, ConfigFileFollowsXdgConfigHomeElseHome) {
    EXPECT_EQ(app::userConfigFile(environment({{"XDG_CONFIG_HOME", "/c"}, {"HOME", "/h"}})),
              "/c/zorvex/zorvex.ini");
    EXPECT_EQ(app::userConfigFile(environment({{"HOME", "/h"}})), "/h/.config/zorvex/zorvex.ini");
    EXPECT_EQ(app::userConfigFile(environment({})), "");
}

TEST(Installation, BuildTreeIsNotInstalledAndKeepsItsFilesNextToTheExecutable) {
    testsupport::TempDir dir;
    const auto found = app::Installation::find(dir.path().string());
    EXPECT_FALSE(found.installed);
    EXPECT_EQ(found.dataDir, dir.path().string());
    EXPECT_EQ(found.libexecDir, "");
}

TEST(Installation, PrefixLayoutIsFoundFromTheExecutablesFolder) {
    testsupport::TempDir dir;
    const auto prefix = makePrefix(dir, "");
    const auto found = app::Installation::find((prefix / "bin").string());
    EXPECT_TRUE(found.installed);
    EXPECT_EQ(found.dataDir, fs::canonical(prefix / "share" / "zorvex").string());
    EXPECT_EQ(found.libexecDir, fs::canonical(prefix / "libexec" / "zorvex").string());
}

TEST(Installation, UsersConfigGoesOverTheInstalledOneKeyByKey) {
    testsupport::TempDir dir;
    const auto prefix = makePrefix(dir, "[catalogue]\nhost = db.example\nport = 3310\n");
    const auto installation = app::Installation::find((prefix / "bin").string());
    fs::create_directories(dir.path() / "config" / "zorvex");
    std::ofstream(dir.path() / "config" / "zorvex" / "zorvex.ini") << "[catalogue]\nport = 3324\n";
    const auto env = environment({{"XDG_CONFIG_HOME", dir.file("config")}, {"HOME", "/h"}});

    const auto config = app::loadConfig(std::nullopt, installation, env);
    EXPECT_EQ(config.get("catalogue", "port"), "3324");       // the user's
    EXPECT_EQ(config.get("catalogue", "host"), "db.example"); // the installed one's
    EXPECT_EQ(config.get("catalogue", "user"), "mediauser");  // the default
    EXPECT_EQ(app::loadConfig(std::nullopt, installation, environment({{"HOME", "/h"}}))
                  .get("catalogue", "port"),
              "3310");

    // --config is read alone.
    const auto option = dir.write("option.ini", "[catalogue]\nuser = someone\n");
    const auto given = app::loadConfig(option, installation, env);
    EXPECT_EQ(given.get("catalogue", "port"), "3306");
    EXPECT_EQ(given.get("catalogue", "user"), "someone");

    // A mistake in the user's file names that file.
    std::ofstream(dir.path() / "config" / "zorvex" / "zorvex.ini") << "[catalogue]\nprot = 1\n";
    try {
        (void)app::loadConfig(std::nullopt, installation, env);
        ADD_FAILURE() << "no error";
    } catch (const app::ConfigError& e) {
        EXPECT_NE(std::string(e.what()).find(dir.file("config") + "/zorvex/zorvex.ini:2"),
                  std::string::npos)
            << e.what();
    }
}

TEST(Installation, BuildTreeReadsOnlyTheFileNextToTheExecutable) {
    testsupport::TempDir dir;
    dir.write("zorvex.ini", "[catalogue]\nport = 3311\n");
    fs::create_directories(dir.path() / "config" / "zorvex");
    std::ofstream(dir.path() / "config" / "zorvex" / "zorvex.ini") << "[catalogue]\nport = 3324\n";
    const auto config = app::loadConfig(std::nullopt, app::Installation::find(dir.path().string()),
                                        environment({{"XDG_CONFIG_HOME", dir.file("config")}}));
    EXPECT_EQ(config.get("catalogue", "port"), "3311");
}

TEST(Installation, FirstStartRunsTheInstallStepOnceTheDirectoryIsMade) {
    testsupport::TempDir dir;
    const auto prefix = makePrefix(dir, "");
    const auto installation = app::Installation::find((prefix / "bin").string());
    // A stand-in step that lays the directory out and counts its runs.
    writeStep(installation.libexecDir, "echo step >> \"" + dir.file("runs") +
                                           "\"\nmkdir -p \"$1/Data\" \"$1/charsets\"\n"
                                           "touch \"$1/errmsg.sys\" \"$1/noimage.jpg\"\n");
    const std::string data = dir.file("missing/share") + "/zorvex";
    app::prepareDataDir(data, installation);
    EXPECT_TRUE(fs::is_directory(fs::path(data) / "Data"));
    app::prepareDataDir(data, installation); // prepared: the step does not run again
    std::ifstream runs(dir.file("runs"));
    std::string all((std::istreambuf_iterator<char>(runs)), {});
    EXPECT_EQ(all, "step\n");
}

TEST(Installation, FailingInstallStepIsReportedNamingTheDirectory) {
    testsupport::TempDir dir;
    const auto prefix = makePrefix(dir, "");
    const auto installation = app::Installation::find((prefix / "bin").string());
    writeStep(installation.libexecDir, "exit 1\n");
    const std::string data = dir.file("data") + "/zorvex";
    EXPECT_NE(errorOf([&] {
                  app::prepareDataDir(data, installation);
              }).find("could not prepare the data directory " + data),
              std::string::npos);
}

TEST(Installation, DataDirectoryThatCannotBeMadeIsNamed) {
    testsupport::TempDir dir;
    const auto prefix = makePrefix(dir, "");
    const auto installation = app::Installation::find((prefix / "bin").string());
    const auto file = dir.write("plain", "a file, not a folder");
    const std::string data = file + "/zorvex";
    EXPECT_EQ(errorOf([&] {
                  app::prepareDataDir(data, installation);
              }).rfind("cannot make the data directory " + data + ": ", 0),
              0u);
}

TEST(CommandLineHelp, ListsEveryOptionOnALineOfItsOwn) {
    const std::string usage = app::CommandLine::usage();
    for (const char* option :
         {"--headless", "--automation=stdio", "--automation=unix:PATH", "--config PATH",
          "--workdir DIR", "--screenshot PATH", "--send TEXT", "--version", "--help"}) {
        const auto at = usage.find(std::string("\n  ") + option + " ");
        ASSERT_NE(at, std::string::npos) << option;
        const auto end = usage.find('\n', at + 1);
        EXPECT_GT(end - at, std::string(option).size() + 4) << option << " has no description";
    }
}

} // namespace
