#include "app/Installation.h"

#include <pwd.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

extern char** environ;

namespace app {

namespace fs = std::filesystem;

namespace {

// An XDG base directory variable counts only when it holds an absolute path.
std::optional<std::string> absoluteVariable(const Environment& env, std::string_view name) {
    auto value = env(name);
    if (!value || value->empty() || (*value)[0] != '/')
        return std::nullopt;
    return value;
}

std::string baseDirectory(const Environment& env, std::string_view variable,
                          std::string_view underHome) {
    if (auto dir = absoluteVariable(env, variable))
        return *dir;
    if (auto home = absoluteVariable(env, "HOME"))
        return *home + "/" + std::string(underHome);
    return {};
}

std::string clean(const fs::path& p) {
    std::error_code ec;
    const auto canonical = fs::weakly_canonical(p, ec);
    return (ec ? p.lexically_normal() : canonical).string();
}

// Runs the install step on `dir` and waits for it. Its standard output goes to
// this process's standard error.
int runInstallStep(const std::string& step, const std::string& dir) {
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_adddup2(&actions, STDERR_FILENO, STDOUT_FILENO);
    std::vector<char*> argv{const_cast<char*>(step.c_str()), const_cast<char*>(dir.c_str()),
                            nullptr};
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, step.c_str(), &actions, nullptr, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        throw InstallError("cannot run the install step " + step + " for the data directory " +
                           dir + ": " + std::strerror(spawned));
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0)
        if (errno != EINTR)
            throw InstallError("lost the install step for the data directory " + dir + ": " +
                               std::strerror(errno));
    return status;
}

} // namespace

Environment processEnvironment() {
    return [](std::string_view name) -> std::optional<std::string> {
        const std::string key(name);
        if (const char* value = std::getenv(key.c_str()))
            return std::string(value);
        if (key == "HOME")
            if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
                return std::string(pw->pw_dir);
        return std::nullopt;
    };
}

Installation Installation::find(const std::string& exeDir) {
    Installation found;
    const fs::path exe(exeDir);
    const fs::path share = exe / ".." / "share" / "zorvex";
    const fs::path libexec = exe / ".." / "libexec" / "zorvex";
    std::error_code ec;
    if (fs::is_regular_file(share / "zorvex.ini", ec) && fs::is_directory(libexec, ec)) {
        found.installed = true;
        found.dataDir = clean(share);
        found.libexecDir = clean(libexec);
    } else {
        found.dataDir = exeDir;
    }
    return found;
}

std::string userDataDir(const Environment& env) {
    const std::string base = baseDirectory(env, "XDG_DATA_HOME", ".local/share");
    if (base.empty())
        throw InstallError("no data directory: neither XDG_DATA_HOME nor HOME names an absolute "
                           "directory; use --workdir DIR");
    return base + "/zorvex";
}

std::string userConfigFile(const Environment& env) {
    const std::string base = baseDirectory(env, "XDG_CONFIG_HOME", ".config");
    return base.empty() ? std::string() : base + "/zorvex/zorvex.ini";
}

Config loadConfig(const std::optional<std::string>& configOption, const Installation& installation,
                  const Environment& env) {
    if (configOption)
        return Config::load(*configOption);
    Config config;
    std::error_code ec;
    if (const auto fallback = installation.dataDir + "/zorvex.ini"; fs::exists(fallback, ec))
        config = Config::load(fallback);
    if (installation.installed)
        if (const auto user = userConfigFile(env); !user.empty() && fs::exists(user, ec))
            config = Config::load(user, std::move(config));
    return config;
}

void prepareDataDir(const std::string& dir, const Installation& installation) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec)
        throw InstallError("cannot make the data directory " + dir + ": " + ec.message());
    if (!fs::is_directory(dir, ec))
        throw InstallError("the data directory " + dir + " is not a directory");
    if (::access(dir.c_str(), W_OK | X_OK) != 0)
        throw InstallError("the data directory " + dir +
                           " cannot be written: " + std::strerror(errno));
    const fs::path d(dir);
    const bool complete =
        fs::is_directory(d / "Data", ec) && fs::is_directory(d / "charsets", ec) &&
        fs::is_regular_file(d / "errmsg.sys", ec) && fs::is_regular_file(d / "noimage.jpg", ec);
    if (complete)
        return;
    const std::string step = installation.libexecDir + "/zorvex-prepare-workdir";
    const int status = runInstallStep(step, dir);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw InstallError("the install step " + step + " could not prepare the data directory " +
                           dir);
}

} // namespace app
