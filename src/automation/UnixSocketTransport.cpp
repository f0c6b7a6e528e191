#include "automation/UnixSocketTransport.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "automation/Channel.h"
#include "automation/FdWriter.h"
#include "automation/LineSplitter.h"
#include "ui/Application.h"

namespace automation {

namespace {

std::runtime_error failure(const std::string& path, const std::string& what, int error = 0) {
    std::string message = "automation socket " + path + ": " + what;
    if (error)
        message += ": " + std::string(std::strerror(error));
    return std::runtime_error(message);
}

sockaddr_un addressOf(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        throw failure(path, "the path is too long (" + std::to_string(path.size()) +
                                " bytes, at most " + std::to_string(sizeof address.sun_path - 1) +
                                ")");
    if (path.find('\0') != std::string::npos)
        throw failure(path, "the path holds a NUL byte");
    std::memcpy(address.sun_path, path.data(), path.size());
    return address;
}

platform::UniqueFd makeSocket(const std::string& path) {
    platform::UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd)
        throw failure(path, "cannot create a socket", errno);
    return fd;
}

// Clears the way for bind(): a socket file nobody listens on is a leftover of a
// program that ended without cleaning up, and goes; anything else stays.
void removeStaleSocket(const std::string& path, const sockaddr_un& address) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        if (errno == ENOENT)
            return;
        throw failure(path, "cannot inspect the path", errno);
    }
    if (!S_ISSOCK(info.st_mode))
        throw failure(path, "the path exists and is not a socket; not replacing it");
    platform::UniqueFd probe = makeSocket(path);
    if (::connect(probe.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
        throw failure(path, "another program is already listening there");
    if (errno != ECONNREFUSED)
        throw failure(path, "cannot tell whether the socket is in use", errno);
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        throw failure(path, "cannot remove the stale socket file", errno);
}

} // namespace

// One connected client. The reader thread reads from it; the user-interface thread
// writes the replies. Shared by both, so the descriptor stays valid until the last
// reply that is still queued has been written or dropped.
class UnixSocketTransport::Client {
  public:
    explicit Client(platform::UniqueFd fd) : fd_(std::move(fd)) {}
    int fd() const { return fd_.get(); }

    /// User-interface thread. A client that cannot take its reply (gone, or not
    /// reading for seconds) is disconnected rather than allowed to stall the program.
    void reply(const std::string& line) {
        if (failed_)
            return;
        if (!writeAll(fd_.get(), line + "\n")) {
            failed_ = true;
            hangUp();
        }
    }
    /// Any thread: ends the connection; the reader then sees its end.
    void hangUp() noexcept { ::shutdown(fd_.get(), SHUT_RDWR); }

    LineSplitter splitter{kMaxLine}; ///< reader thread only

  private:
    platform::UniqueFd fd_;
    bool failed_ = false; ///< user-interface thread only
};

UnixSocketTransport::UnixSocketTransport(Channel& channel, std::string path)
    : channel_(channel), loop_(channel.app().loop()), present_(std::make_shared<bool>(true)),
      path_(std::move(path)) {
    if (path_.empty())
        throw failure(path_, "the path is empty");
    const sockaddr_un address = addressOf(path_);
    removeStaleSocket(path_, address);

    listener_ = makeSocket(path_);
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
    struct stat info {};
    if (::stat(path_.c_str(), &info) == 0 && info.st_dev == device_ && info.st_ino == inode_)
        ::unlink(path_.c_str());
}

void UnixSocketTransport::serve() {
    std::vector<std::shared_ptr<Client>> clients;
    std::vector<pollfd> fds;
    std::vector<char> chunk(64 * 1024);
    std::vector<LineSplitter::Line> lines;

    auto post = [this](const std::shared_ptr<Client>& client, LineSplitter::Line line) {
        loop_.post(
            [&channel = channel_, present = present_, client, line = std::move(line)]() mutable {
                if (!*present)
                    return;
                auto writer = [client](const std::string& reply) { client->reply(reply); };
                if (line.overlong)
                    channel.submitOverlong(kMaxLine, writer, present);
                else
                    channel.submit(std::move(line.text), writer, present);
            });
    };

    for (;;) {
        fds.clear();
        fds.push_back({stop_.fd(), POLLIN, 0});
        fds.push_back({listener_.get(), POLLIN, 0});
        for (const auto& client : clients)
            fds.push_back({client->fd(), POLLIN, 0});
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[0].revents != 0)
            break;

        // Clients first, by index into the poll list taken before any is added.
        std::vector<std::shared_ptr<Client>> kept;
        for (std::size_t i = 0; i < clients.size(); ++i) {
            auto& client = clients[i];
            if (fds[i + 2].revents == 0) {
                kept.push_back(std::move(client));
                continue;
            }
            const ssize_t n = ::read(client->fd(), chunk.data(), chunk.size());
            if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
                kept.push_back(std::move(client));
                continue;
            }
            if (n > 0) {
                client->splitter.feed({chunk.data(), static_cast<std::size_t>(n)}, lines);
                for (auto& line : lines)
                    post(client, std::move(line));
                lines.clear();
                kept.push_back(std::move(client));
                continue;
            }
            // The client closed its end (perhaps only for writing: it may still
            // read the reply to its last, unterminated line).
            if (auto last = client->splitter.finish())
                post(client, std::move(*last));
        }
        clients = std::move(kept);

        if (fds[1].revents != 0) {
            platform::UniqueFd fd(::accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC));
            if (fd) {
                if (clients.size() >= kMaxClients)
                    continue; // refused: the descriptor closes here
                // A client that stops reading must not block the user-interface
                // thread for long when its reply is written.
                const timeval timeout{5, 0};
                ::setsockopt(fd.get(), SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
                clients.push_back(std::make_shared<Client>(std::move(fd)));
            } else if (errno != EINTR && errno != EAGAIN && errno != ECONNABORTED) {
                // Out of descriptors or similar: pause instead of spinning on a
                // listener that stays readable, but keep listening for the stop.
                pollfd stop{stop_.fd(), POLLIN, 0};
                ::poll(&stop, 1, 100);
            }
        }
    }
    // Queued replies may keep a client object alive a little longer; the peers
    // learn now that the channel is gone.
    for (const auto& client : clients)
        client->hangUp();
}

} // namespace automation
