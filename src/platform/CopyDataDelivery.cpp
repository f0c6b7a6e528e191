#include "platform/CopyDataDelivery.h"

#include <dirent.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/CopyDataListener.h"
#include "platform/UniqueFd.h"

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

struct Candidate {
    std::string path;
    timespec modified{};
};

// The sockets of this user whose names start with `prefix`, newest first.
std::vector<Candidate> candidates(const std::string& directory, const std::string& prefix) {
    std::vector<Candidate> found;
    DIR* dir = ::opendir(directory.c_str());
    if (!dir)
        return found;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.rfind(prefix, 0) != 0)
            continue;
        const std::string path = directory + "/" + name;
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISSOCK(info.st_mode) ||
            info.st_uid != ::geteuid())
            continue;
        found.push_back({path, info.st_mtim});
    }
    ::closedir(dir);
    std::sort(found.begin(), found.end(), [](const Candidate& a, const Candidate& b) {
        if (a.modified.tv_sec != b.modified.tv_sec)
            return a.modified.tv_sec > b.modified.tv_sec;
        if (a.modified.tv_nsec != b.modified.tv_nsec)
            return a.modified.tv_nsec > b.modified.tv_nsec;
        return a.path > b.path;
    });
    return found;
}

int remainingMs(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::max<std::int64_t>(0, left.count()));
}

// Waits for `events` on `fd` until the deadline; false when it passed.
bool waitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        pollfd p{fd, events, 0};
        const int n = ::poll(&p, 1, remainingMs(deadline));
        if (n > 0)
            return true;
        if (n == 0)
            return false;
        if (errno != EINTR)
            return true; // the following call tells what is wrong
    }
}

enum class Reach { Connected, Stale, Unusable };

Reach connectTo(const std::string& path, UniqueFd& fd) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return Reach::Unusable;
    std::memcpy(address.sun_path, path.data(), path.size());
    fd = UniqueFd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!fd)
        return Reach::Unusable;
    if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return errno == ECONNREFUSED ? Reach::Stale : Reach::Unusable;
    // The listener must be this user's too, whoever owns the file now.
    ucred peer{};
    socklen_t size = sizeof peer;
    if (::getsockopt(fd.get(), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 ||
        peer.uid != ::geteuid())
        return Reach::Unusable;
    return Reach::Connected;
}

// Writes the message and reads the four bytes of the answer.
CopyDataDelivery exchange(int fd, const std::string& framed, Clock::time_point deadline) {
    CopyDataDelivery result;
    result.found = true;
    std::size_t done = 0;
    while (done < framed.size()) {
        const ssize_t n =
            ::send(fd, framed.data() + done, framed.size() - done, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n >= 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            result.error = "the receiver refused the message: " + std::string(std::strerror(errno));
            return result;
        }
        if (!waitFor(fd, POLLOUT, deadline)) {
            result.error = "the receiver did not take the message in time";
            return result;
        }
    }
    unsigned char bytes[4];
    std::size_t got = 0;
    while (got < sizeof bytes) {
        const ssize_t n = ::recv(fd, bytes + got, sizeof bytes - got, MSG_DONTWAIT);
        if (n > 0) {
            got += static_cast<std::size_t>(n);
            continue;
        }
        if (n == 0) {
            result.error = "the receiver did not answer";
            return result;
        }
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            result.error = "the receiver did not answer: " + std::string(std::strerror(errno));
            return result;
        }
        if (!waitFor(fd, POLLIN, deadline)) {
            result.error = "the receiver did not answer in time";
            return result;
        }
    }
    std::uint32_t value = 0;
    for (int k = 0; k < 4; ++k)
        value |= std::uint32_t(bytes[k]) << (8 * k);
    result.answer = static_cast<std::int32_t>(value);
    return result;
}

} // namespace

CopyDataDelivery deliverCopyData(std::string_view className, std::string_view title,
                                 const CopyData& message, std::chrono::milliseconds timeout,
                                 std::string directory) {
    const std::string framed = frame(message);
    CopyDataDelivery result;
    if (directory.empty()) {
        try {
            directory = copyDataDirectory();
        } catch (const std::runtime_error& e) {
            result.error = e.what();
            return result;
        }
    }
    for (const Candidate& candidate :
         candidates(directory, receiverSocketPrefix(className, title))) {
        if (CopyDataListener* own = CopyDataListener::inThisProcess(candidate.path)) {
            result.found = true;
            result.answer = own->handleHere(message);
            return result;
        }
        UniqueFd fd;
        switch (connectTo(candidate.path, fd)) {
        case Reach::Connected:
            return exchange(fd.get(), framed, Clock::now() + timeout);
        case Reach::Stale:
            // Nobody listens: its program ended without removing it.
            ::unlink(candidate.path.c_str());
            break;
        case Reach::Unusable:
            break;
        }
    }
    result.error = "no receiver window is running";
    return result;
}

} // namespace platform
