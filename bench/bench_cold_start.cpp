// Cold start of the headless program: from spawning `zorvex --headless
// --automation=stdio` to its first automation reply. Prints the median and the
// spread over several runs.
//   bench_cold_start ZORVEX_BINARY WORKDIR [RUNS]

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Pipe {
    int fd[2] = {-1, -1};
    Pipe() {
        if (::pipe2(fd, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe failed");
    }
    ~Pipe() {
        for (int f : fd)
            if (f >= 0)
                ::close(f);
    }
    void closeEnd(int i) {
        if (fd[i] >= 0) {
            ::close(fd[i]);
            fd[i] = -1;
        }
    }
};

double oneRun(const std::string& binary, const std::string& workdir) {
    Pipe in, out;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in.fd[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out.fd[1], 1);
    std::vector<std::string> args = {binary, "--headless", "--automation=stdio", "--workdir", workdir};
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, binary.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        throw std::runtime_error("cannot start " + binary + ": " + std::strerror(rc));
    in.closeEnd(0);
    out.closeEnd(1);

    const std::string request = "{\"id\":1,\"command\":[\"controls\"]}\n";
    if (::write(in.fd[1], request.data(), request.size()) != static_cast<ssize_t>(request.size()))
        throw std::runtime_error("cannot send the request");
    std::string reply;
    char buf[4096];
    while (reply.find('\n') == std::string::npos) {
        pollfd p{out.fd[0], POLLIN, 0};
        if (::poll(&p, 1, 30000) <= 0)
            throw std::runtime_error("no reply within 30 s");
        const ssize_t n = ::read(out.fd[0], buf, sizeof buf);
        if (n <= 0)
            throw std::runtime_error("the program ended without a reply");
        reply.append(buf, static_cast<std::size_t>(n));
    }
    const auto end = std::chrono::steady_clock::now();
    if (reply.find("\"success\"") == std::string::npos)
        throw std::runtime_error("unexpected reply: " + reply);

    in.closeEnd(1); // end of input makes the program quit
    int status = 0;
    ::waitpid(pid, &status, 0);
    return std::chrono::duration<double, std::milli>(end - start).count();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s ZORVEX_BINARY WORKDIR [RUNS]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 10;
    try {
        oneRun(argv[1], argv[2]); // warm the page cache once
        std::vector<double> ms;
        for (int i = 0; i < runs; ++i)
            ms.push_back(oneRun(argv[1], argv[2]));
        std::sort(ms.begin(), ms.end());
        std::printf("cold start to first automation reply: median %.1f ms (min %.1f, max %.1f, %d runs)\n",
                    ms[ms.size() / 2], ms.front(), ms.back(), runs);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_cold_start: %s\n", e.what());
        return 1;
    }
    return 0;
}
