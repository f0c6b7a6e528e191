#pragma once
// A tiny HTTP/1.1 server on 127.0.0.1 for download tests. It serves one
// connection at a time from its own thread, answering each request from a
// table of routes, and closes every connection after one answer.
//
// Thread: construct, add routes and read counters on the test's thread; routes
// must all be added before the first request arrives.

#include "platform/UniqueFd.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace platformtest {

struct Route {
    enum class Kind {
        Answer,      // status, headers and body, then close
        Stream,      // status and headers without Content-Length, then `streamBytes` of body
        Silent,      // read the request and never answer
        StallInBody, // announce a longer body, send part of it, then go quiet
    };
    Kind kind = Kind::Answer;
    int status = 200;
    std::vector<std::string> headers; // extra header lines, without CRLF
    std::string body;
    std::uint64_t streamBytes = 0;
};

class HttpTestServer {
  public:
    /// Binds 127.0.0.1 on a free port and starts serving. Throws std::runtime_error.
    HttpTestServer();
    /// Stops serving and joins the thread.
    ~HttpTestServer();
    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    void route(const std::string& path, Route route) { routes_[path] = std::move(route); }
    int port() const { return port_; }
    /// "http://127.0.0.1:<port>" + path.
    std::string url(const std::string& path) const;
    /// Connections accepted so far.
    int connections() const { return connections_.load(); }
    /// Request paths seen, in order.
    std::vector<std::string> paths() const;

  private:
    void serve();
    void answer(int fd);

    platform::UniqueFd listener_;
    platform::UniqueFd stopRead_;
    platform::UniqueFd stopWrite_;
    int port_ = 0;
    std::map<std::string, Route> routes_;
    std::atomic<int> connections_{0};
    mutable std::mutex pathsMutex_;
    std::vector<std::string> paths_;
    std::thread thread_;
};

} // namespace platformtest
