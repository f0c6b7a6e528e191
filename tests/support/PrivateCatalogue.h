#pragma once
// A demo catalogue server of the test's own: a private mariadbd on a free port of
// 127.0.0.1 with its data directory in a temporary folder, made and seeded by
// scripts/catalogue-server, for tests that stop, freeze or kill the server (the
// shared test catalogue must stay up for the others).
//
// Threads: stop, freeze and kill may be called from any thread; the rest from the
// test's main thread.

#include <string>
#include <sys/types.h>

#include "support/TempDir.h"

namespace testsupport {

class PrivateCatalogue {
  public:
    /// Makes, seeds (`items` items) and starts the server. Throws std::runtime_error
    /// with the script's output when it does not start.
    explicit PrivateCatalogue(int items = 200);
    /// Stops the server (killing it if need be) and removes its data.
    ~PrivateCatalogue();
    PrivateCatalogue(const PrivateCatalogue&) = delete;
    PrivateCatalogue& operator=(const PrivateCatalogue&) = delete;

    unsigned port() const noexcept { return port_; }
    /// Starts the stopped server again on the same port and data.
    void start();
    /// Stops the server as its administrator would.
    void stop();
    /// SIGSTOP: the server keeps its sockets but answers nothing.
    void freeze();
    /// SIGKILL, and waits until the process is gone: every connection breaks at once.
    void kill();
    /// The server's count of open client connections (Threads_connected), asked
    /// through its socket as root, without the asking one; -1 when it does not answer.
    int connections() const;

  private:
    std::string script(const std::string& command) const;
    pid_t pid() const;

    TempDir dir_;
    unsigned port_;
    int items_;
};

/// A TCP port of 127.0.0.1 that nothing listens on at the moment.
unsigned freeLoopbackPort();

} // namespace testsupport
