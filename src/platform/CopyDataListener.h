#pragma once
// The receiving end of the copy-data channel for one receiver window: a socket in
// the copy-data folder named after the window's class name and title (see
// platform/CopyData.h), and a thread that takes senders' messages.
//
// A sender connects, writes one framed message and waits for a 32-bit answer. The
// thread reads the message without ever blocking on one sender, then hands it to the
// user-interface thread through `post`; the handler runs there and its answer goes
// back to the sender, and the connection ends. Nothing the senders do holds up the
// window:
// - a message announcing more than kCopyDataMaxPayload bytes is not read further;
// - a sender that stops in the middle of a message, or sends nothing for
//   kStallSeconds, has its message dropped as truncated;
// - at most kMaxSenders connections are read at once; a further one takes the place
//   of the one idle longest.
// A message that cannot be read whole reaches the handler with `problem` saying why
// (a connection that ends before sending anything is just closed). Connections of
// another user are refused.
//
// Owns the listening socket, its file, the connections being read and the reader
// thread. Thread: construct and destroy on the user-interface thread; the handler
// runs there, from work given to `post`, never after the listener is destroyed.

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include "platform/CopyData.h"
#include "platform/UniqueFd.h"

namespace platform {

class CopyDataListener {
  public:
    struct Received {
        long sender = 0; ///< the sending process's id
        CopyData message;
        /// Not empty: the message could not be read whole (or was refused), and
        /// `message` holds what was read of it. Says why, without the sender.
        std::string problem;
    };
    /// Returns the answer to the sender. A handler that throws answers 0, and its
    /// error goes on to the caller of the posted work.
    using Handler = std::function<std::int32_t(const Received&)>;
    /// Hands work to the user-interface thread; called from the reader thread.
    using Post = std::function<void(std::function<void()>)>;

    static constexpr int kMaxSenders = 16;
    static constexpr int kStallSeconds = 10;

    /// Listens at once in `directory` (default: copyDataDirectory()). Throws
    /// std::runtime_error saying why when it cannot.
    CopyDataListener(std::string_view className, std::string_view title, Post post, Handler handler,
                     std::string directory = {});
    /// Stops the thread, drops the messages not yet handled and removes the socket
    /// file.
    ~CopyDataListener();
    CopyDataListener(const CopyDataListener&) = delete;
    CopyDataListener& operator=(const CopyDataListener&) = delete;

    const std::string& path() const { return path_; }

    /// User-interface thread: the listener of this process at `path`, if any. A
    /// sender in the same process hands its message to it directly, as the
    /// user-interface thread cannot wait for itself.
    static CopyDataListener* inThisProcess(const std::string& path);
    /// User-interface thread: handles `message` from this process at once and
    /// returns the handler's answer.
    std::int32_t handleHere(const CopyData& message);

  private:
    struct Shared;
    class Connection;
    void serve();
    void accept();
    void read(Connection& connection);
    void hand(std::unique_ptr<Connection> connection, std::string problem);

    std::shared_ptr<Shared> shared_;
    std::string path_;
    UniqueFd listener_;
    UniqueFd stop_;
    dev_t device_ = 0; ///< the socket file made, so that only it is removed
    ino_t inode_ = 0;
    std::thread reader_; // last: starts once everything it uses exists
};

} // namespace platform
