#include "support/PrivateCatalogue.h"

#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace testsupport {

namespace {

// Runs `command` through the shell and returns its output and whether it succeeded.
std::pair<bool, std::string> run(const std::string& command) {
    std::string output;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return {false, "cannot run " + command};
    std::array<char, 4096> buffer;
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        output.append(buffer.data(), n);
    const int status = ::pclose(pipe);
    return {status == 0, output};
}

// Whether `pid` still runs (a zombie that nobody reaps counts as gone).
bool alive(pid_t pid) {
    if (::kill(pid, 0) != 0)
        return false;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string id, name, state;
    stat >> id >> name >> state;
    return state != "Z";
}

} // namespace

unsigned freeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    unsigned port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    if (port == 0)
        throw std::runtime_error("no free port on 127.0.0.1");
    return port;
}

PrivateCatalogue::PrivateCatalogue(int items)
    : dir_("zorvex-catalogue"), port_(freeLoopbackPort()), items_(items) {
    start();
}

PrivateCatalogue::~PrivateCatalogue() {
    if (pid() > 0 && !alive(pid()))
        return;
    run(script("stop"));
    if (const pid_t p = pid(); p > 0 && alive(p))
        kill();
}

std::string PrivateCatalogue::script(const std::string& command) const {
    const char* media = std::getenv("ZORVEX_MEDIA_DIR");
    return "'" ZORVEX_SOURCE_DIR "/scripts/catalogue-server' " + command + " --port " +
           std::to_string(port_) + " --datadir '" + dir_.file("data") + "' --items " +
           std::to_string(items_) + " --seed-tool '" ZORVEX_BINARY_DIR "/zorvex-demo-seed'" +
           (media && *media ? " --media-dir '" + std::string(media) + "'" : std::string());
}

void PrivateCatalogue::start() {
    const auto [ok, output] = run(script("start"));
    if (!ok)
        throw std::runtime_error("the private catalogue server did not start:\n" + output);
}

void PrivateCatalogue::stop() {
    const auto [ok, output] = run(script("stop"));
    if (!ok)
        throw std::runtime_error("the private catalogue server did not stop:\n" + output);
}

pid_t PrivateCatalogue::pid() const {
    std::ifstream in(dir_.file("data/mariadbd.pid"));
    long pid = 0;
    in >> pid;
    return static_cast<pid_t>(pid);
}

void PrivateCatalogue::freeze() {
    if (const pid_t p = pid(); p > 0)
        ::kill(p, SIGSTOP);
}

void PrivateCatalogue::kill() {
    const pid_t p = pid();
    if (p <= 0)
        return;
    ::kill(p, SIGKILL);
    while (alive(p))
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

int PrivateCatalogue::connections() const {
    const auto [ok, output] =
        run("mariadb --no-defaults --batch --skip-column-names --user=root --socket='" +
            dir_.file("data/mysqld.sock") + "' -e \"SHOW GLOBAL STATUS LIKE 'Threads_connected'\"");
    const std::size_t tab = output.find('\t');
    if (!ok || tab == std::string::npos)
        return -1;
    return std::atoi(output.c_str() + tab + 1) - 1; // not the asking one
}

} // namespace testsupport
