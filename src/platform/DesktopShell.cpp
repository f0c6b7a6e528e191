#include "platform/DesktopShell.h"

#include "platform/UniqueFd.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace platform {

namespace {

using Command = std::vector<std::string>;

std::vector<std::string> split(std::string_view text, std::string_view separators) {
    std::vector<std::string> parts;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t start = text.find_first_not_of(separators, pos);
        if (start == std::string_view::npos)
            break;
        std::size_t end = text.find_first_of(separators, start);
        if (end == std::string_view::npos)
            end = text.size();
        parts.emplace_back(text.substr(start, end - start));
        pos = end;
    }
    return parts;
}

std::vector<Command> browserCommands(std::string_view url) {
    std::vector<Command> commands;
    if (const char* browser = std::getenv("BROWSER"); browser && *browser) {
        for (const std::string& entry : split(browser, ":")) {
            Command words = split(entry, " \t");
            if (words.empty())
                continue;
            bool placed = false;
            for (std::size_t i = 1; i < words.size(); ++i) {
                if (words[i] == "%s") {
                    words[i] = std::string(url);
                    placed = true;
                }
            }
            if (!placed)
                words.emplace_back(url);
            commands.push_back(std::move(words));
        }
    }
    if (commands.empty())
        commands.push_back({"xdg-open", std::string(url)});
    return commands;
}

class SpawnFileActions {
  public:
    SpawnFileActions() { ::posix_spawn_file_actions_init(&actions_); }
    ~SpawnFileActions() { ::posix_spawn_file_actions_destroy(&actions_); }
    SpawnFileActions(const SpawnFileActions&) = delete;
    SpawnFileActions& operator=(const SpawnFileActions&) = delete;
    posix_spawn_file_actions_t* get() { return &actions_; }

  private:
    posix_spawn_file_actions_t actions_;
};

class SpawnAttributes {
  public:
    SpawnAttributes() { ::posix_spawnattr_init(&attr_); }
    ~SpawnAttributes() { ::posix_spawnattr_destroy(&attr_); }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;
    posix_spawnattr_t* get() { return &attr_; }

  private:
    posix_spawnattr_t attr_;
};

// Starts `command` as a grandchild: a forked child calls posix_spawnp, reports
// its result through a pipe and exits at once; we reap that child, and the
// browser is adopted by init (or the nearest subreaper). Returns 0 or an errno.
int spawnDetached(const Command& command) {
    std::vector<char*> argv;
    argv.reserve(command.size() + 1);
    for (const std::string& word : command)
        argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);

    // Everything is prepared here, so the forked child only calls posix_spawnp,
    // write and _exit, which is safe after fork in a threaded process.
    SpawnFileActions actions;
    ::posix_spawn_file_actions_addopen(actions.get(), STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_addopen(actions.get(), STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    ::posix_spawn_file_actions_addclosefrom_np(actions.get(), STDERR_FILENO + 1);
#endif
    SpawnAttributes attr;
    sigset_t none;
    sigemptyset(&none);
    sigset_t all;
    sigfillset(&all);
    ::posix_spawnattr_setsigmask(attr.get(), &none);
    ::posix_spawnattr_setsigdefault(attr.get(), &all);
    ::posix_spawnattr_setflags(attr.get(),
                               POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return errno;
    UniqueFd readEnd(fds[0]);
    UniqueFd writeEnd(fds[1]);

    const pid_t child = ::fork();
    if (child < 0)
        return errno;
    if (child == 0) {
        pid_t browser = 0;
        const int rc =
            ::posix_spawnp(&browser, argv[0], actions.get(), attr.get(), argv.data(), environ);
        [[maybe_unused]] const ssize_t ignored = ::write(writeEnd.get(), &rc, sizeof rc);
        ::_exit(0);
    }
    writeEnd.reset();

    // The pipe, not the exit status, carries the result: it still works when the
    // process ignores SIGCHLD and the child is reaped automatically.
    int rc = ECHILD;
    ssize_t got;
    do {
        got = ::read(readEnd.get(), &rc, sizeof rc);
    } while (got < 0 && errno == EINTR);
    if (got != static_cast<ssize_t>(sizeof rc))
        rc = ECHILD;
    while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
    return rc;
}

} // namespace

bool DesktopShell::openUrl(std::string_view url, WindowShow /*show*/) {
    for (const Command& command : browserCommands(url)) {
        if (spawnDetached(command) == 0)
            return true;
    }
    return false;
}

} // namespace platform
