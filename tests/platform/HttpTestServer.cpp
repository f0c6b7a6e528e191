#include "HttpTestServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace platformtest {

namespace {

// Waits until `fd` is readable or the stop pipe fires; false on stop.
bool waitReadable(int fd, int stopFd) {
    pollfd fds[2] = {{fd, POLLIN, 0}, {stopFd, POLLIN, 0}};
    for (;;) {
        const int rc = ::poll(fds, 2, -1);
        if (rc < 0 && errno == EINTR)
            continue;
        if (rc < 0 || (fds[1].revents & POLLIN))
            return false;
        return true;
    }
}

bool sendAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

std::string reason(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 404:
        return "Not Found";
    default:
        return "Status";
    }
}

} // namespace

HttpTestServer::HttpTestServer() {
    listener_.reset(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!listener_)
        throw std::runtime_error("test server: no socket");
    const int yes = 1;
    ::setsockopt(listener_.get(), SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(listener_.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listener_.get(), 16) != 0)
        throw std::runtime_error("test server: cannot listen");
    socklen_t len = sizeof addr;
    ::getsockname(listener_.get(), reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        throw std::runtime_error("test server: no pipe");
    stopRead_.reset(fds[0]);
    stopWrite_.reset(fds[1]);
    thread_ = std::thread([this] { serve(); });
}

HttpTestServer::~HttpTestServer() {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(stopWrite_.get(), &byte, 1);
    thread_.join();
}

std::string HttpTestServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> HttpTestServer::paths() const {
    const std::lock_guard lock(pathsMutex_);
    return paths_;
}

void HttpTestServer::serve() {
    while (waitReadable(listener_.get(), stopRead_.get())) {
        platform::UniqueFd conn(::accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC));
        if (!conn)
            continue;
        ++connections_;
        answer(conn.get());
    }
}

void HttpTestServer::answer(int fd) {
    std::string request;
    char buf[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
        if (!waitReadable(fd, stopRead_.get()))
            return;
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0)
            return;
        request.append(buf, static_cast<std::size_t>(n));
    }
    // "GET /path HTTP/1.1"
    const auto first = request.find(' ');
    const auto second = request.find(' ', first + 1);
    const std::string path = request.substr(first + 1, second - first - 1);
    {
        const std::lock_guard lock(pathsMutex_);
        paths_.push_back(path);
    }

    const auto found = routes_.find(path);
    Route route;
    if (found == routes_.end()) {
        route.status = 404;
        route.body = "no route";
    } else {
        route = found->second;
    }

    auto quietUntilClosed = [&] {
        // Hold the connection until the client gives up or the server stops.
        while (waitReadable(fd, stopRead_.get())) {
            if (::recv(fd, buf, sizeof buf, 0) <= 0)
                return;
        }
    };
    if (route.kind == Route::Kind::Silent) {
        quietUntilClosed();
        return;
    }

    std::string head = "HTTP/1.1 " + std::to_string(route.status) + " " + reason(route.status) +
                       "\r\nConnection: close\r\n";
    for (const auto& line : route.headers)
        head += line + "\r\n";
    if (route.kind == Route::Kind::Answer)
        head += "Content-Length: " + std::to_string(route.body.size()) + "\r\n";
    if (route.kind == Route::Kind::StallInBody)
        head += "Content-Length: " + std::to_string(route.body.size() * 2) + "\r\n";
    head += "\r\n";
    if (!sendAll(fd, head.data(), head.size()))
        return;

    switch (route.kind) {
    case Route::Kind::Answer:
        sendAll(fd, route.body.data(), route.body.size());
        break;
    case Route::Kind::Stream: {
        const std::string chunk(64 * 1024, 'x');
        for (std::uint64_t sent = 0; sent < route.streamBytes;) {
            const std::size_t n = static_cast<std::size_t>(
                std::min<std::uint64_t>(chunk.size(), route.streamBytes - sent));
            if (!sendAll(fd, chunk.data(), n))
                return; // the client hung up, as it should past its limit
            sent += n;
        }
        break;
    }
    case Route::Kind::StallInBody:
        if (sendAll(fd, route.body.data(), route.body.size()))
            quietUntilClosed();
        break;
    case Route::Kind::Silent:
        break;
    }
    ::shutdown(fd, SHUT_WR);
}

} // namespace platformtest
