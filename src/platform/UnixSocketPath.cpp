#include "platform/UnixSocketPath.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/UniqueFd.h"

namespace platform {

std::runtime_error UnixSocketPath::failure(const std::string& what, int error) const {
    std::string message = kind + " " + path + ": " + what;
    if (error)
        message += ": " + std::string(std::strerror(error));
    return std::runtime_error(message);
}

sockaddr_un UnixSocketPath::address() const {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        throw failure("the path is too long (" + std::to_string(path.size()) + " bytes, at most " +
                      std::to_string(sizeof address.sun_path - 1) + ")");
    if (path.find('\0') != std::string::npos)
        throw failure("the path holds a NUL byte");
    std::memcpy(address.sun_path, path.data(), path.size());
    return address;
}

void UnixSocketPath::clearStale() const {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        if (errno == ENOENT)
            return;
        throw failure("cannot inspect the path", errno);
    }
    if (!S_ISSOCK(info.st_mode))
        throw failure("the path exists and is not a socket; not replacing it");
    const sockaddr_un where = address();
    UniqueFd probe(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!probe)
        throw failure("cannot create a socket", errno);
    if (::connect(probe.get(), reinterpret_cast<const sockaddr*>(&where), sizeof where) == 0)
        throw failure("another program is already listening there");
    if (errno != ECONNREFUSED)
        throw failure("cannot tell whether the socket is in use", errno);
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        throw failure("cannot remove the stale socket file", errno);
}

} // namespace platform
