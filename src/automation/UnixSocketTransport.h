#pragma once
// The automation channel on a Unix-domain stream socket. Several clients may be
// connected at once; each sends request lines and gets its own replies back, in the
// order it sent the requests. A client that disconnects does not end the program;
// the requests it sent before it went are still carried out.
//
// No client can hold up the program or the other clients:
// - Replies are written without waiting. What a client's socket does not take at
//   once waits in that client's own buffer and goes out as the client reads. A
//   client that falls further behind than UnixSocketLimits::maxUnsent is
//   disconnected, and its requests that have not started are dropped.
// - A client has at most maxPending requests waiting for their replies; the reader
//   takes nothing more from it meanwhile, so one client cannot queue up work ahead
//   of the others without bound.
// - A client arriving when maxClients are connected takes the place of the one that
//   has been idle longest (nothing waiting to be answered or sent, preferably), so
//   idle connections never lock a new client out.
//
// The socket file is made readable and writable by its owner only: whoever can
// connect can drive the whole program. A stale socket file (nobody listening) is
// replaced; a path where a listener answers, or that holds anything other than a
// socket, is refused.
//
// Owns the listening socket, the client sockets, the socket file and one thread that
// accepts clients, reads their lines and writes what their sockets did not take at
// once. Thread: construct and destroy on the user-interface thread; replies are
// written from it.

#include <sys/types.h>

#include <cstddef>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "automation/StopSignal.h"
#include "automation/Transport.h"
#include "platform/UniqueFd.h"

namespace ui {
class EventLoop;
}

namespace automation {

class Channel;

/// What one Unix socket transport allows its clients (see UnixSocketTransport).
struct UnixSocketLimits {
    /// Longest request line kept, in bytes; a longer one is answered with an error.
    std::size_t maxLine = 1 << 20;
    /// Clients connected at once.
    std::size_t maxClients = 64;
    /// Requests of one client that may wait for their replies at once.
    std::size_t maxPending = 16;
    /// Reply bytes that may wait for a client that does not read. A reply always
    /// joins a client's buffer when no more than this waits, so a client that reads
    /// gets even a larger reply.
    std::size_t maxUnsent = 4 << 20;
};

class UnixSocketTransport : public Transport {
  public:
    /// Longest request line kept, in bytes, by default.
    static constexpr std::size_t kMaxLine = UnixSocketLimits{}.maxLine;
    /// Clients connected at once, by default.
    static constexpr std::size_t kMaxClients = UnixSocketLimits{}.maxClients;

    /// Listens on `path` at once. `channel` must outlive the transport. Throws
    /// std::runtime_error saying why when it cannot listen there.
    UnixSocketTransport(Channel& channel, std::string path, UnixSocketLimits limits = {});
    /// Disconnects every client, stops and joins the reader, and removes the socket
    /// file (unless another program has replaced it meanwhile).
    ~UnixSocketTransport() override;

    const std::string& path() const { return path_; }

  private:
    class Client;
    struct Shared;
    void serve();
    void accept();
    void evictOne();
    void serveClient(const std::shared_ptr<Client>& client, short revents);
    void submitWaiting(const std::shared_ptr<Client>& client);

    Channel& channel_;
    ui::EventLoop& loop_;
    /// Cleared when the transport goes: requests still queued are then dropped.
    /// User-interface thread only.
    std::shared_ptr<bool> present_;
    std::shared_ptr<Shared> shared_;
    std::string path_;
    platform::UniqueFd listener_;
    dev_t device_ = 0; ///< identity of the socket file made, so only it is removed
    ino_t inode_ = 0;
    StopSignal stop_;
    /// The reader's while it runs, the destructor's after.
    std::vector<std::shared_ptr<Client>> clients_;
    std::vector<char> chunk_;
    std::thread reader_; // last: starts once everything it uses exists
};

} // namespace automation
