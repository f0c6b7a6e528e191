#pragma once
// A server on the loopback interface that takes connections and never answers:
// the link that a player must give up on.
//
// Thread: the test's thread.

#include "platform/UniqueFd.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <stdexcept>
#include <string>

namespace mediatest {

class SilentServer {
  public:
    SilentServer() : listener_(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        if (listener_.get() < 0 ||
            ::bind(listener_.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
            ::listen(listener_.get(), 4) != 0 ||
            ::getsockname(listener_.get(), reinterpret_cast<sockaddr*>(&addr), &len) != 0)
            throw std::runtime_error("the silent server could not listen");
        port_ = ntohs(addr.sin_port);
    }

    /// "http://127.0.0.1:PORT" + `path`.
    std::string url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }

  private:
    platform::UniqueFd listener_;
    int port_ = 0;
};

} // namespace mediatest
