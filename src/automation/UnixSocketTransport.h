#pragma once
// The automation channel on a Unix-domain stream socket. Several clients may be
// connected at once; each sends request lines and gets its own replies back, in the
// order it sent the requests. A client that disconnects does not end the program.
//
// The socket file is made readable and writable by its owner only: whoever can
// connect can drive the whole program. A stale socket file (nobody listening) is
// replaced; a path where a listener answers, or that holds anything other than a
// socket, is refused.
//
// Owns the listening socket, the client sockets, the socket file and one reader
// thread that accepts clients and reads their lines. Thread: construct and destroy
// on the user-interface thread; replies are written from it.

#include <sys/types.h>

#include <cstddef>
#include <memory>
#include <string>
#include <thread>

#include "automation/StopSignal.h"
#include "automation/Transport.h"
#include "platform/UniqueFd.h"

namespace ui {
class EventLoop;
}

namespace automation {

class Channel;

class UnixSocketTransport : public Transport {
  public:
    /// Longest request line kept, in bytes.
    static constexpr std::size_t kMaxLine = 1 << 20;
    /// Clients beyond this many are disconnected as they arrive.
    static constexpr std::size_t kMaxClients = 64;

    /// Listens on `path` at once. `channel` must outlive the transport. Throws
    /// std::runtime_error saying why when it cannot listen there.
    UnixSocketTransport(Channel& channel, std::string path);
    /// Disconnects every client, stops and joins the reader, and removes the socket
    /// file (unless another program has replaced it meanwhile).
    ~UnixSocketTransport() override;

    const std::string& path() const { return path_; }

  private:
    class Client;
    void serve();

    Channel& channel_;
    ui::EventLoop& loop_;
    /// Cleared when the transport goes: requests still queued are then dropped.
    std::shared_ptr<bool> present_;
    std::string path_;
    platform::UniqueFd listener_;
    dev_t device_ = 0; ///< identity of the socket file made, so only it is removed
    ino_t inode_ = 0;
    StopSignal stop_;
    std::thread reader_; // last: starts once everything it uses exists
};

} // namespace automation
