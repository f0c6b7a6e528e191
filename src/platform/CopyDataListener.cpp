#include "platform/CopyDataListener.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>
#include <set>
#include <stdexcept>
#include <vector>

#include "platform/UnixSocketPath.h"

namespace platform {

namespace {

std::runtime_error failure(const std::string& path, const std::string& what, int error = 0) {
    return UnixSocketPath{"copy-data socket", path}.failure(what, error);
}

// The listeners of this process, by path: user-interface thread, but guarded, as
// the reader threads never touch it and a test may look from elsewhere.
std::mutex registryMutex;
std::set<CopyDataListener*>& registry() {
    static std::set<CopyDataListener*> listeners;
    return listeners;
}

std::atomic<unsigned> socketCounter{0};

void answer(int fd, std::int32_t value) {
    std::string bytes;
    const auto u = static_cast<std::uint32_t>(value);
    for (int k = 0; k < 4; ++k)
        bytes.push_back(static_cast<char>((u >> (8 * k)) & 0xFF));
    // Four bytes into a socket nobody has written to go at once, or the sender left.
    [[maybe_unused]] const ssize_t sent =
        ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
}

using Clock = std::chrono::steady_clock;

} // namespace

// What the listener and its posted work share: whether the listener still exists
// and its handler. User-interface thread only.
struct CopyDataListener::Shared {
    Post post;
    Handler handler;
    bool alive = true;
};

// One sender's connection while its message is read. Reader thread only.
class CopyDataListener::Connection {
  public:
    Connection(UniqueFd f, long pid) : fd(std::move(f)), sender(pid), lastActive(Clock::now()) {}
    UniqueFd fd;
    long sender;
    std::string data;                         ///< header and payload read so far
    std::size_t wanted = kCopyDataHeaderSize; ///< bytes the message has, once known
    bool headerRead = false;
    Clock::time_point lastActive;
};

CopyDataListener::CopyDataListener(std::string_view className, std::string_view title, Post post,
                                   Handler handler, std::string directory)
    : shared_(std::make_shared<Shared>()) {
    shared_->post = std::move(post);
    shared_->handler = std::move(handler);
    if (directory.empty())
        directory = copyDataDirectory();
    path_ = directory + "/" + receiverSocketPrefix(className, title) + std::to_string(::getpid()) +
            "-" + std::to_string(socketCounter++);
    const UnixSocketPath where{"copy-data socket", path_};
    const sockaddr_un address = where.address();
    // A file of this name is left by a program that had our process id and ended
    // without cleaning up.
    where.clearStale();

    listener_ = UniqueFd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!listener_)
        throw failure(path_, "cannot create a socket", errno);
    if (::bind(listener_.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        throw failure(path_, "cannot bind", errno);
    auto undo = [&](const std::string& what, int error) {
        ::unlink(path_.c_str());
        return failure(path_, what, error);
    };
    struct stat info {};
    if (::stat(path_.c_str(), &info) != 0)
        throw undo("cannot inspect the socket file", errno);
    device_ = info.st_dev;
    inode_ = info.st_ino;
    // Restricted before listen(): until then nobody can connect at all.
    if (::chmod(path_.c_str(), S_IRUSR | S_IWUSR) != 0)
        throw undo("cannot restrict the socket file to its owner", errno);
    if (::listen(listener_.get(), kMaxSenders) != 0)
        throw undo("cannot listen", errno);
    stop_ = UniqueFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!stop_)
        throw undo("cannot make the stop signal", errno);
    try {
        reader_ = std::thread([this] { serve(); });
    } catch (...) {
        ::unlink(path_.c_str());
        throw;
    }
    std::lock_guard lock(registryMutex);
    registry().insert(this);
}

CopyDataListener::~CopyDataListener() {
    {
        std::lock_guard lock(registryMutex);
        registry().erase(this);
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(stop_.get(), &one, sizeof one);
    reader_.join();
    shared_->alive = false;
    struct stat info {};
    if (::stat(path_.c_str(), &info) == 0 && info.st_dev == device_ && info.st_ino == inode_)
        ::unlink(path_.c_str());
}

CopyDataListener* CopyDataListener::inThisProcess(const std::string& path) {
    std::lock_guard lock(registryMutex);
    for (CopyDataListener* listener : registry())
        if (listener->path_ == path)
            return listener;
    return nullptr;
}

std::int32_t CopyDataListener::handleHere(const CopyData& message) {
    Received received;
    received.sender = ::getpid();
    received.message = message;
    if (message.payload.size() > kCopyDataMaxPayload)
        received.problem =
            "its " + std::to_string(message.payload.size()) + " bytes are more than 1 MiB";
    return shared_->handler(received);
}

void CopyDataListener::hand(std::unique_ptr<Connection> connection, std::string problem) {
    Received received;
    received.sender = connection->sender;
    received.problem = std::move(problem);
    if (connection->data.size() >= kCopyDataHeaderSize) {
        received.message.kind = readHeader(connection->data).first;
        received.message.payload = connection->data.substr(kCopyDataHeaderSize);
    }
    // std::function needs a copyable closure.
    auto fd = std::make_shared<UniqueFd>(std::move(connection->fd));
    shared_->post([shared = shared_, fd, received = std::move(received)] {
        if (!shared->alive)
            return;
        std::int32_t reply = 0;
        try {
            reply = shared->handler(received);
        } catch (...) {
            answer(fd->get(), 0);
            throw;
        }
        answer(fd->get(), reply);
    });
}

void CopyDataListener::read(Connection& c) {
    char chunk[64 * 1024];
    // Never more than the message: what a sender writes after it is not ours to take.
    const std::size_t room = std::min(sizeof chunk, c.wanted - c.data.size());
    const ssize_t n = ::recv(c.fd.get(), chunk, room, MSG_DONTWAIT);
    if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK))
        return;
    if (n <= 0) {
        // The sender ended its message early (or never began one).
        if (c.data.empty()) {
            c.fd.reset();
            return;
        }
        c.lastActive = Clock::time_point::min(); // handled by the caller as ended
        return;
    }
    c.data.append(chunk, static_cast<std::size_t>(n));
    c.lastActive = Clock::now();
    if (!c.headerRead && c.data.size() == kCopyDataHeaderSize) {
        c.headerRead = true;
        c.wanted = kCopyDataHeaderSize + readHeader(c.data).second;
    }
}

void CopyDataListener::serve() {
    std::vector<std::unique_ptr<Connection>> connections;
    const uid_t me = ::geteuid();
    for (;;) {
        // Messages read whole, refused or stalled go to the user-interface thread.
        const auto now = Clock::now();
        for (auto& c : connections) {
            if (!c->fd)
                continue;
            const std::size_t payloadSize = c->wanted - kCopyDataHeaderSize;
            if (c->headerRead && payloadSize > kCopyDataMaxPayload) {
                hand(std::move(c),
                     "its " + std::to_string(payloadSize) + " bytes are more than 1 MiB");
            } else if (c->headerRead && c->data.size() == c->wanted) {
                hand(std::move(c), "");
            } else if (c->lastActive == Clock::time_point::min() ||
                       now - c->lastActive > std::chrono::seconds(kStallSeconds)) {
                const std::string of = c->headerRead
                                           ? std::to_string(c->wanted) + " bytes"
                                           : std::to_string(kCopyDataHeaderSize) + " header bytes";
                const std::size_t got = c->data.size();
                hand(std::move(c), "it ended after " + std::to_string(got) + " of its " + of);
            }
        }
        std::erase_if(connections, [](const auto& c) { return !c || !c->fd; });

        std::vector<pollfd> fds;
        fds.push_back({stop_.get(), POLLIN, 0});
        fds.push_back({listener_.get(), POLLIN, 0});
        for (const auto& c : connections)
            fds.push_back({c->fd.get(), POLLIN, 0});
        const int timeout = connections.empty() ? -1 : 1000;
        if (::poll(fds.data(), fds.size(), timeout) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[0].revents != 0)
            return;
        for (std::size_t k = 0; k < connections.size(); ++k)
            if (fds[k + 2].revents != 0)
                read(*connections[k]);
        if (fds[1].revents == 0)
            continue;
        for (;;) {
            UniqueFd fd(::accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
            if (!fd) {
                if (errno == EINTR || errno == ECONNABORTED)
                    continue;
                break;
            }
            ucred peer{};
            socklen_t size = sizeof peer;
            if (::getsockopt(fd.get(), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 ||
                peer.uid != me)
                continue; // another user's: closed unanswered
            if (connections.size() >= static_cast<std::size_t>(kMaxSenders)) {
                auto idlest = std::min_element(
                    connections.begin(), connections.end(),
                    [](const auto& a, const auto& b) { return a->lastActive < b->lastActive; });
                connections.erase(idlest);
            }
            connections.push_back(std::make_unique<Connection>(std::move(fd), peer.pid));
        }
    }
}

} // namespace platform
