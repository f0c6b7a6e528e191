#pragma once
// The path of a listening Unix socket: its address, and the clearing of a socket
// file that a program which ended without cleaning up left there.
//
// Thread: any.

#include <sys/un.h>

#include <stdexcept>
#include <string>

namespace platform {

struct UnixSocketPath {
    /// What the socket is for, at the start of every message ("automation socket").
    std::string kind;
    std::string path;

    /// "KIND PATH: WHAT", and the system's reason for `error` when it is not 0.
    std::runtime_error failure(const std::string& what, int error = 0) const;
    /// The socket address of the path; throws when it is too long or holds a NUL.
    sockaddr_un address() const;
    /// Clears the way for bind(): a socket file nobody listens on goes. Throws when
    /// the path is something else or a program listens there; nothing there is fine.
    void clearStale() const;
};

} // namespace platform
