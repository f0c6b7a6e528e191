#pragma once
// A headless zorvex process driven through its stdio automation channel, for the
// benchmarks: start it, send one request line, read one reply line.

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace bench {

class AutomationProcess {
  public:
    AutomationProcess(const std::string& binary, std::vector<std::string> extraArgs) {
        int in[2], out[2];
        if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe failed");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        std::vector<std::string> args = {binary, "--headless", "--automation=stdio"};
        args.insert(args.end(), extraArgs.begin(), extraArgs.end());
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        const int rc = posix_spawn(&pid_, binary.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(in[0]);
        ::close(out[1]);
        toChild_ = in[1];
        fromChild_ = out[0];
        if (rc != 0)
            throw std::runtime_error("cannot start " + binary + ": " + std::strerror(rc));
    }
    ~AutomationProcess() {
        if (toChild_ >= 0)
            ::close(toChild_); // end of input makes the program quit
        if (fromChild_ >= 0)
            ::close(fromChild_);
        int status = 0;
        if (pid_ > 0)
            ::waitpid(pid_, &status, 0);
    }
    AutomationProcess(const AutomationProcess&) = delete;
    AutomationProcess& operator=(const AutomationProcess&) = delete;

    /// Sends one request and returns its reply line. Throws when the reply does
    /// not come within 120 s or is not a success.
    std::string request(const std::string& commandJson) {
        const std::string line =
            "{\"id\":" + std::to_string(++id_) + ",\"command\":" + commandJson + "}\n";
        if (::write(toChild_, line.data(), line.size()) != static_cast<ssize_t>(line.size()))
            throw std::runtime_error("cannot send " + line);
        std::string reply;
        for (;;) {
            if (auto nl = buffer_.find('\n'); nl != std::string::npos) {
                reply = buffer_.substr(0, nl);
                buffer_.erase(0, nl + 1);
                break;
            }
            pollfd p{fromChild_, POLLIN, 0};
            if (::poll(&p, 1, 120000) <= 0)
                throw std::runtime_error("no reply to " + line);
            char buf[65536];
            const ssize_t n = ::read(fromChild_, buf, sizeof buf);
            if (n <= 0)
                throw std::runtime_error("the program ended before answering " + line);
            buffer_.append(buf, static_cast<std::size_t>(n));
        }
        if (reply.find("\"error\":\"success\"") == std::string::npos)
            throw std::runtime_error("request " + line + " failed: " + reply);
        return reply;
    }

    /// The program's process id, for reading its /proc entries.
    pid_t pid() const noexcept { return pid_; }

    /// Milliseconds one request takes, reply included.
    double timed(const std::string& commandJson) {
        const auto start = std::chrono::steady_clock::now();
        request(commandJson);
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count();
    }

  private:
    pid_t pid_ = -1;
    int toChild_ = -1;
    int fromChild_ = -1;
    int id_ = 0;
    std::string buffer_;
};

} // namespace bench
