// Downloads in parallel, within their limits: a server that never answers, one that
// claims or sends a gigabyte, and a video that cannot be decoded.

#include "harvest/FetchPool.h"
#include "harvest/Thumbnail.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using platform::DownloadStatus;

// A loopback HTTP server with a few misbehaving pages; one thread per connection.
class BadServer {
  public:
    BadServer() {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(::bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
        EXPECT_EQ(::listen(listener_, 64), 0);
        socklen_t len = sizeof addr;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len);
        port_ = ntohs(addr.sin_port);
        acceptor_ = std::thread([this] { acceptLoop(); });
    }
    ~BadServer() {
        stopping_ = true;
        ::shutdown(listener_, SHUT_RDWR);
        ::close(listener_);
        acceptor_.join();
        {
            std::lock_guard<std::mutex> lock(mutex_);
            for (int fd : clients_)
                ::shutdown(fd, SHUT_RDWR);
        }
        for (std::thread& t : workers_)
            t.join();
        for (int fd : clients_)
            ::close(fd);
    }
    std::string url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    int peakConnections() const { return peak_; }

  private:
    void acceptLoop() {
        while (!stopping_) {
            const int fd = ::accept(listener_, nullptr, nullptr);
            if (fd < 0)
                return;
            std::lock_guard<std::mutex> lock(mutex_);
            clients_.push_back(fd);
            workers_.emplace_back([this, fd] { serve(fd); });
        }
    }
    bool sendAll(int fd, const std::string& data) {
        std::size_t sent = 0;
        while (sent < data.size()) {
            const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
            if (n <= 0)
                return false;
            sent += static_cast<std::size_t>(n);
        }
        return true;
    }
    void serve(int fd) {
        std::string request;
        char buffer[4096];
        while (request.find("\r\n\r\n") == std::string::npos) {
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0)
                return;
            request.append(buffer, static_cast<std::size_t>(n));
        }
        const std::string path = request.substr(4, request.find(' ', 4) - 4);
        const std::string chunk(64 * 1024, 'x');
        if (path == "/silent") {
            while (!stopping_ && ::recv(fd, buffer, sizeof buffer, 0) > 0)
                ;
        } else if (path == "/gigabyte") {
            // Claims a gigabyte and starts sending it.
            if (sendAll(fd, "HTTP/1.1 200 OK\r\nContent-Length: 1073741824\r\n\r\n"))
                while (!stopping_ && sendAll(fd, chunk))
                    ;
        } else if (path == "/endless") {
            // No length at all: sends until the client hangs up.
            if (sendAll(fd, "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n"))
                while (!stopping_ && sendAll(fd, chunk))
                    ;
        } else if (path == "/garbage.mp4") {
            std::string body(200 * 1024, '\0');
            for (std::size_t i = 0; i < body.size(); ++i)
                body[i] = static_cast<char>((i * 2654435761u) >> 13);
            sendAll(fd, "HTTP/1.1 200 OK\r\nContent-Type: video/mp4\r\nContent-Length: " +
                            std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        } else {
            // A small page that takes a moment, so parallel transfers overlap. The
            // requests waiting for their answer are counted: a client starts another
            // transfer to this host only after an answer, so the count is exact.
            const int waiting = ++waiting_;
            for (int seen = peak_; waiting > seen && !peak_.compare_exchange_weak(seen, waiting);)
                ;
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
            --waiting_;
            sendAll(fd, "HTTP/1.1 200 OK\r\nContent-Length: 5\r\nConnection: close\r\n\r\nhello");
        }
    }

    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<int> waiting_{0};
    std::atomic<int> peak_{0};
    std::thread acceptor_;
    std::mutex mutex_;
    std::vector<int> clients_;
    std::vector<std::thread> workers_;
};

harvest::FetchRequest request(const std::string& url, std::chrono::milliseconds limit,
                              std::uint64_t maxBytes = 8u << 20) {
    harvest::FetchRequest r;
    r.url = url;
    r.timeLimit = limit;
    r.maxBytes = maxBytes;
    return r;
}

TEST(FetchPool, ServersThatNeverAnswerOrNeverStopAreCutOff) {
    BadServer server;
    harvest::FetchPool pool(8, 4);
    const auto results = pool.fetchAll({
        request(server.url("/silent"), std::chrono::milliseconds(1500)),
        request(server.url("/gigabyte"), std::chrono::seconds(60), 4u << 20),
        request(server.url("/endless"), std::chrono::seconds(60), 4u << 20),
        request(server.url("/page"), std::chrono::seconds(20)),
        request("file:///etc/passwd", std::chrono::seconds(20)),
    });
    ASSERT_EQ(results.size(), 5u);
    EXPECT_EQ(results[0].status, DownloadStatus::TimedOut) << results[0].message;
    EXPECT_EQ(results[1].status, DownloadStatus::TooLarge) << results[1].message;
    EXPECT_TRUE(results[1].body.empty());
    EXPECT_EQ(results[2].status, DownloadStatus::TooLarge) << results[2].message;
    EXPECT_TRUE(results[2].body.empty());
    EXPECT_TRUE(results[3].ok()) << results[3].message;
    EXPECT_EQ(results[3].body, "hello");
    EXPECT_EQ(results[4].status, DownloadStatus::UnsupportedScheme);
}

TEST(FetchPool, AtMostPerHostTransfersToOneHost) {
    BadServer server;
    harvest::FetchPool pool(16, 2);
    std::vector<harvest::FetchRequest> requests;
    for (int i = 0; i < 8; ++i)
        requests.push_back(
            request(server.url("/page" + std::to_string(i)), std::chrono::seconds(20)));
    const auto results = pool.fetchAll(requests);
    for (const auto& r : results)
        EXPECT_TRUE(r.ok()) << r.message;
    EXPECT_LE(server.peakConnections(), 2);
}

TEST(FetchPool, AVideoThatCannotBeDecodedGivesNoFrame) {
    BadServer server;
    EXPECT_THROW(harvest::thumbnailFromVideo(server.url("/garbage.mp4"), std::chrono::seconds(10)),
                 harvest::ThumbnailError);
    EXPECT_THROW(harvest::thumbnailFromVideo(server.url("/silent"), std::chrono::seconds(1)),
                 harvest::ThumbnailError);
}

} // namespace
