#include <gtest/gtest.h>

#include "platform/DesktopShell.h"
#include "platform/UniqueFd.h"
#include "support/TempDir.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

using platform::DesktopShell;
using platform::WindowShow;

// A URL that a shell would split, quote-strip, expand and run a second command from.
const std::string trickyUrl =
    "http://example.test/search?q=\"two words\" 'single';touch PWNED&x=$(touch PWNED2)`id`|cat";

struct DesktopShellFixture : ::testing::Test {
    testsupport::TempDir tmp{"zorvex-shell"};

    // A browser stand-in: writes each argument on its own line, then where its
    // stdout goes and which descriptors it holds, into `<name>.args`, replacing
    // it in one step so the test never reads half a file.
    std::string writeBrowser(const std::string& name) {
        const std::string out = tmp.file(name + ".args");
        const std::string path = tmp.write(
            name, "#!/bin/sh\n"
                  "PATH=/usr/bin:/bin\n"
                  "so=$(readlink /proc/$$/fd/1)\n"
                  "fds=$(for f in /proc/$$/fd/*; do readlink \"$f\"; done | tr '\\n' ' ')\n"
                  "{ for a in \"$@\"; do printf '%s\\n' \"$a\"; done\n"
                  "  printf 'stdout=%s\\n' \"$so\"\n"
                  "  printf 'fds= %s\\n' \"$fds\"\n"
                  "} > \"" +
                      out +
                      ".tmp\"\n"
                      "mv \"" +
                      out + ".tmp\" \"" + out + "\"\n");
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        return path;
    }

    // Waits (bounded) for the stand-in's record and returns its lines.
    std::vector<std::string> argumentsOf(const std::string& name) {
        const auto file = tmp.path() / (name + ".args");
        for (int i = 0; i < 200 && !std::filesystem::exists(file); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        std::ifstream in(file);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
};

TEST_F(DesktopShellFixture, TheUrlReachesTheBrowserAsOneUntouchedArgument) {
    const std::string browser = writeBrowser("browser");
    ::setenv("BROWSER", browser.c_str(), 1);
    // Were a shell to see the URL, its commands would run here.
    std::filesystem::current_path(tmp.path());
    // A descriptor this process forgot to mark close-on-exec.
    int leaky[2];
    ASSERT_EQ(::pipe(leaky), 0);
    const platform::UniqueFd leakyRead(leaky[0]), leakyWrite(leaky[1]);

    EXPECT_TRUE(DesktopShell{}.openUrl(trickyUrl, WindowShow::Maximised));
    const auto lines = argumentsOf("browser");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], trickyUrl);
    // The browser does not write into our standard output (the automation channel)
    // and inherits no descriptor of ours but stderr.
    EXPECT_EQ(lines[1], "stdout=/dev/null");
    struct stat pipeStat {};
    ASSERT_EQ(::fstat(leaky[0], &pipeStat), 0);
    const std::string pipeName = "pipe:[" + std::to_string(pipeStat.st_ino) + "]";
    EXPECT_EQ(lines[2].find(pipeName), std::string::npos)
        << pipeName << " reached the browser: " << lines[2];
    EXPECT_FALSE(std::filesystem::exists(tmp.path() / "PWNED"));
    EXPECT_FALSE(std::filesystem::exists(tmp.path() / "PWNED2"));

    // The browser was started through a child we have already reaped, so nothing
    // is left for this process to wait for.
    errno = 0;
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST_F(DesktopShellFixture, BrowserListsAndPlaceholdersAreHonoured) {
    const std::string browser = writeBrowser("second");
    // The first entry does not exist; the second takes the URL where %s stands.
    const std::string list = "/no/such/browser --flag:" + browser + " --new-window %s --last";
    ::setenv("BROWSER", list.c_str(), 1);
    EXPECT_TRUE(DesktopShell{}.openUrl("http://example.test/a b", WindowShow::Normal));
    const auto lines = argumentsOf("second");
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "--new-window");
    EXPECT_EQ(lines[1], "http://example.test/a b");
    EXPECT_EQ(lines[2], "--last");
}

TEST_F(DesktopShellFixture, WithoutBrowserSetXdgOpenIsUsedFromThePath) {
    const auto bin = tmp.path() / "bin";
    std::filesystem::create_directory(bin);
    writeBrowser("xdg-open");
    std::filesystem::rename(tmp.path() / "xdg-open", bin / "xdg-open");
    ::unsetenv("BROWSER");
    ::setenv("PATH", bin.c_str(), 1);
    EXPECT_TRUE(DesktopShell{}.openUrl(trickyUrl, WindowShow::Maximised));
    const auto lines = argumentsOf("xdg-open");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], trickyUrl);
}

TEST_F(DesktopShellFixture, NoBrowserFoundMeansFalse) {
    // An empty BROWSER counts as unset; xdg-open is then looked for in an empty PATH.
    ::setenv("BROWSER", "", 1);
    ::setenv("PATH", tmp.path().c_str(), 1);
    EXPECT_FALSE(DesktopShell{}.openUrl("http://example.test/", WindowShow::Normal));

    ::setenv("BROWSER", "/no/such/browser:no-such-browser-either", 1);
    EXPECT_FALSE(DesktopShell{}.openUrl("http://example.test/", WindowShow::Normal));

    // A file that exists but cannot be run is no browser either.
    const std::string notProgram = tmp.write("not-a-program", "just text");
    ::setenv("BROWSER", notProgram.c_str(), 1);
    EXPECT_FALSE(DesktopShell{}.openUrl("http://example.test/", WindowShow::Normal));
}

} // namespace
