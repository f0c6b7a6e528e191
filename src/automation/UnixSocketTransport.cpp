#include "automation/UnixSocketTransport.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <deque>
#include <mutex>
#include <stdexcept>
#include <vector>

#include "automation/Channel.h"
#include "automation/LineSplitter.h"
#include "platform/UnixSocketPath.h"
#include "ui/Application.h"

namespace automation {

namespace {

std::runtime_error failure(const std::string& path, const std::string& what, int error = 0) {
    return platform::UnixSocketPath{"automation socket", path}.failure(what, error);
}

} // namespace

// What the reader thread and the clients share: the limits, the doorbell that wakes
// the reader when the user-interface thread has left it something to do, and the
// clock of activity that tells which client has been idle longest.
struct UnixSocketTransport::Shared {
    explicit Shared(const UnixSocketLimits& l) : limits(l) {}
    const UnixSocketLimits limits;
    StopSignal doorbell;
    std::atomic<std::uint64_t> activity{0};
    std::uint64_t tick() { return ++activity; }
};

namespace {

void drain(int eventFd) {
    std::uint64_t count = 0;
    while (::read(eventFd, &count, sizeof count) < 0 && errno == EINTR) {
    }
}

bool wouldBlock(int error) {
    return error == EAGAIN || error == EWOULDBLOCK;
}

} // namespace

// One connected client. The reader thread reads from it and writes out what its
// socket did not take at once; the user-interface thread queues the replies. Shared
// by both (and by the requests still queued), so the object outlives its connection.
//
// Only the reader thread closes the descriptor, under the lock, so a number the
// other thread holds is never reused for something else meanwhile; the user-interface
// thread ends a connection by shutting it down and leaving the rest to the reader.
class UnixSocketTransport::Client {
  public:
    Client(platform::UniqueFd fd, std::shared_ptr<Shared> shared)
        : splitter(shared->limits.maxLine), shared_(std::move(shared)), fd_(std::move(fd)) {
        lastActive_ = shared_->tick();
    }

    /// User-interface thread: queues one reply, writing at once what the socket
    /// takes. A client already further behind than the limit is disconnected instead.
    void reply(const std::string& line) {
        bool ring = false;
        {
            std::lock_guard lock(mutex_);
            if (ended_)
                return;
            lastActive_ = shared_->tick();
            // Every reply answers a request the reader counted in submitted().
            const std::size_t pendingBefore = pending_.fetch_sub(1);
            // The reader stopped taking requests from a client at its limit; now it may.
            ring = pendingBefore >= shared_->limits.maxPending;
            if (unsentBytes_ > shared_->limits.maxUnsent) {
                disconnectLocked();
                ring = true;
            } else {
                std::string data = line + "\n";
                std::size_t sent = 0;
                if (unsent_.empty() && !sendSome(data, sent)) {
                    endLocked();
                    ring = true;
                } else if (sent < data.size()) {
                    data.erase(0, sent);
                    unsentBytes_ += data.size();
                    unsent_.push_back(std::move(data));
                    ring = true;
                }
            }
        }
        if (ring)
            shared_->doorbell.raise();
    }

    /// Reader thread: writes what waits, as far as the socket takes it. False when
    /// the connection failed.
    bool flush() {
        std::lock_guard lock(mutex_);
        while (!ended_ && !unsent_.empty()) {
            std::string& front = unsent_.front();
            std::size_t sent = 0;
            if (!sendSome(std::string_view(front).substr(offset_), sent)) {
                endLocked();
                return false;
            }
            if (sent > 0)
                lastActive_ = shared_->tick();
            offset_ += sent;
            unsentBytes_ -= sent;
            if (offset_ < front.size())
                return true; // the socket is full
            unsent_.pop_front();
            offset_ = 0;
        }
        return !ended_;
    }

    /// Any thread: ends the connection for good and drops the client's requests that
    /// have not started (it fell behind, or made way for a newcomer).
    void disconnect() {
        std::lock_guard lock(mutex_);
        disconnectLocked();
    }
    /// Reader thread: closes the descriptor of an ended connection.
    void close() {
        std::lock_guard lock(mutex_);
        ended_ = true;
        fd_.reset();
    }

    /// Any thread.
    bool present() const { return present_; }
    bool ended() const {
        std::lock_guard lock(mutex_);
        return ended_;
    }
    bool hasUnsent() const {
        std::lock_guard lock(mutex_);
        return !unsent_.empty();
    }
    std::size_t pending() const { return pending_; }
    std::uint64_t lastActive() const { return lastActive_; }
    /// Reader thread: a request line goes to the channel.
    void submitted() {
        ++pending_;
        lastActive_ = shared_->tick();
    }
    /// Reader thread, for poll(): the descriptor, valid until close().
    int fd() const {
        std::lock_guard lock(mutex_);
        return fd_.get();
    }

    // Reader thread only.
    LineSplitter splitter;
    std::deque<LineSplitter::Line> inbox; ///< read, not yet handed to the channel
    bool inputEnded = false;

  private:
    // Sends without waiting; `sent` is how much the socket took. False on failure
    // (the peer went away).
    bool sendSome(std::string_view data, std::size_t& sent) {
        for (;;) {
            const ssize_t n =
                ::send(fd_.get(), data.data(), data.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n >= 0) {
                sent = static_cast<std::size_t>(n);
                return true;
            }
            if (errno == EINTR)
                continue;
            sent = 0;
            return wouldBlock(errno);
        }
    }
    void endLocked() {
        if (ended_)
            return;
        ended_ = true;
        // The descriptor stays open for the reader to close; shutting it down tells
        // the peer at once, and the reader's poll sees it too.
        ::shutdown(fd_.get(), SHUT_RDWR);
        unsent_.clear();
        offset_ = 0;
        unsentBytes_ = 0;
    }
    void disconnectLocked() {
        present_ = false;
        endLocked();
    }

    std::shared_ptr<Shared> shared_;
    mutable std::mutex mutex_;
    platform::UniqueFd fd_;           ///< under mutex_
    std::deque<std::string> unsent_;  ///< under mutex_: replies the socket has not taken
    std::size_t offset_ = 0;          ///< under mutex_: sent bytes of unsent_.front()
    std::size_t unsentBytes_ = 0;     ///< under mutex_
    bool ended_ = false;              ///< under mutex_: no more reading or writing
    std::atomic<bool> present_{true}; ///< false once disconnected by the transport
    std::atomic<std::size_t> pending_{0};
    std::atomic<std::uint64_t> lastActive_{0};
};

UnixSocketTransport::UnixSocketTransport(Channel& channel, std::string path,
                                         UnixSocketLimits limits)
    : channel_(channel), loop_(channel.app().loop()), present_(std::make_shared<bool>(true)),
      shared_(std::make_shared<Shared>(limits)), path_(std::move(path)), chunk_(64 * 1024) {
    if (path_.empty())
        throw failure(path_, "the path is empty");
    const platform::UnixSocketPath where{"automation socket", path_};
    const sockaddr_un address = where.address();
    where.clearStale();

    listener_ = platform::UniqueFd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!listener_)
        throw failure(path_, "cannot create a socket", errno);
    if (::bind(listener_.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (errno == EADDRINUSE)
            throw failure(path_, "another program took the path meanwhile");
        throw failure(path_, "cannot bind", errno);
    }
    // From here on the file is ours and must go again if starting fails.
    struct stat info {};
    const bool known = ::stat(path_.c_str(), &info) == 0;
    auto undo = [&](const std::string& what, int error) {
        ::unlink(path_.c_str());
        return failure(path_, what, error);
    };
    if (!known)
        throw undo("cannot inspect the socket file", errno);
    device_ = info.st_dev;
    inode_ = info.st_ino;
    // Restricted before listen(): until then no client can connect at all.
    if (::chmod(path_.c_str(), S_IRUSR | S_IWUSR) != 0)
        throw undo("cannot restrict the socket file to its owner", errno);
    // Non-blocking: a client that gives up between poll() and accept() must not
    // stop the reader.
    const int flags = ::fcntl(listener_.get(), F_GETFL);
    if (flags < 0 || ::fcntl(listener_.get(), F_SETFL, flags | O_NONBLOCK) != 0)
        throw undo("cannot make the socket non-blocking", errno);
    if (::listen(listener_.get(), 16) != 0)
        throw undo("cannot listen", errno);
    try {
        reader_ = std::thread([this] { serve(); });
    } catch (...) {
        ::unlink(path_.c_str());
        throw;
    }
}

UnixSocketTransport::~UnixSocketTransport() {
    stop_.raise();
    reader_.join();
    *present_ = false;
    // Queued requests may keep a client object alive a little longer; the peers
    // learn now that the channel is gone.
    for (const auto& client : clients_) {
        client->disconnect();
        client->close();
    }
    struct stat info {};
    if (::stat(path_.c_str(), &info) == 0 && info.st_dev == device_ && info.st_ino == inode_)
        ::unlink(path_.c_str());
}

void UnixSocketTransport::submitWaiting(const std::shared_ptr<Client>& client) {
    const std::size_t maxLine = shared_->limits.maxLine;
    while (!client->inbox.empty() && client->pending() < shared_->limits.maxPending) {
        LineSplitter::Line line = std::move(client->inbox.front());
        client->inbox.pop_front();
        client->submitted();
        loop_.post([&channel = channel_, alive = present_, client, maxLine,
                    line = std::move(line)]() mutable {
            if (!*alive || !client->present())
                return;
            auto writer = [client](const std::string& reply) { client->reply(reply); };
            auto presence = [alive, client] { return *alive && client->present(); };
            if (line.overlong)
                channel.submitOverlong(maxLine, writer, presence);
            else
                channel.submit(std::move(line.text), writer, presence);
        });
    }
}

void UnixSocketTransport::serveClient(const std::shared_ptr<Client>& client, short revents) {
    const bool failed = (revents & (POLLERR | POLLHUP | POLLNVAL)) != 0;
    if ((revents & POLLOUT) || (failed && client->hasUnsent()))
        if (!client->flush())
            return;
    // Read only while the client has room for more requests: the rest waits in its
    // socket, and a client that keeps writing is slowed down, not served first.
    const bool reading = !client->inputEnded && client->inbox.empty() &&
                         client->pending() < shared_->limits.maxPending;
    if (reading && (revents & (POLLIN | POLLHUP | POLLERR))) {
        const ssize_t n = ::read(client->fd(), chunk_.data(), chunk_.size());
        if (n > 0) {
            std::vector<LineSplitter::Line> lines;
            client->splitter.feed({chunk_.data(), static_cast<std::size_t>(n)}, lines);
            for (auto& line : lines) {
                // A quit must not wait for the client's turn to come round.
                channel_.announce(line.text);
                client->inbox.push_back(std::move(line));
            }
        } else if (n == 0) {
            // The client closed its end (perhaps only for writing: it may still
            // read the replies to what it sent, the last line unterminated).
            client->inputEnded = true;
            if (auto last = client->splitter.finish()) {
                channel_.announce(last->text);
                client->inbox.push_back(std::move(*last));
            }
        } else if (errno != EINTR && !wouldBlock(errno)) {
            client->close();
            return;
        }
    }
    submitWaiting(client);
}

void UnixSocketTransport::evictOne() {
    // The client idle longest: one with nothing to be answered or sent if there is
    // one, else any.
    auto idleness = [](const std::shared_ptr<Client>& c) {
        const bool busy = c->pending() > 0 || c->hasUnsent() || !c->inbox.empty();
        return std::make_pair(busy, c->lastActive());
    };
    auto victim =
        std::min_element(clients_.begin(), clients_.end(),
                         [&](const auto& a, const auto& b) { return idleness(a) < idleness(b); });
    if (victim == clients_.end())
        return;
    (*victim)->disconnect();
    (*victim)->close();
    clients_.erase(victim);
}

void UnixSocketTransport::accept() {
    for (;;) {
        platform::UniqueFd fd(
            ::accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
        if (!fd) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            if (!wouldBlock(errno)) {
                // Out of descriptors or similar: pause instead of spinning on a
                // listener that stays readable, but keep listening for the stop.
                pollfd stop{stop_.fd(), POLLIN, 0};
                ::poll(&stop, 1, 100);
            }
            return;
        }
        if (clients_.size() >= shared_->limits.maxClients)
            evictOne();
        clients_.push_back(std::make_shared<Client>(std::move(fd), shared_));
    }
}

void UnixSocketTransport::serve() {
    std::vector<pollfd> fds;
    for (;;) {
        // Connections that ended, and those with nothing more to do, go first.
        std::erase_if(clients_, [&](const std::shared_ptr<Client>& c) {
            if (!c->ended() && c->inputEnded && c->inbox.empty() && c->pending() == 0 &&
                !c->hasUnsent())
                c->close();
            if (!c->ended())
                return false;
            c->close();
            return true;
        });

        fds.clear();
        fds.push_back({stop_.fd(), POLLIN, 0});
        fds.push_back({shared_->doorbell.fd(), POLLIN, 0});
        fds.push_back({listener_.get(), POLLIN, 0});
        for (const auto& client : clients_) {
            short events = 0;
            if (!client->inputEnded && client->inbox.empty() &&
                client->pending() < shared_->limits.maxPending)
                events |= POLLIN;
            if (client->hasUnsent())
                events |= POLLOUT;
            // Nothing wanted: left out, so that a hang-up does not wake the loop
            // over and over before the client's replies are due.
            fds.push_back({events != 0 ? client->fd() : -1, events, 0});
        }
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[0].revents != 0)
            break;
        if (fds[1].revents != 0)
            drain(shared_->doorbell.fd());

        // Clients first, by index into the poll list taken before any is added. One
        // whose requests were answered meanwhile may take more now, so every client
        // is looked at after each wake-up.
        const std::vector<std::shared_ptr<Client>> polled = clients_;
        for (std::size_t i = 0; i < polled.size(); ++i)
            if (!polled[i]->ended())
                serveClient(polled[i], fds[i + 3].revents);

        if (fds[2].revents != 0)
            accept();
    }
}

} // namespace automation
