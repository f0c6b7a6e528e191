#pragma once
// Sole owner of a POSIX file descriptor (socket, pipe, file): closes it when it goes.
//
// Thread: a plain value; the owner decides which thread uses it.

#include <unistd.h>

#include <utility>

namespace platform {

class UniqueFd {
  public:
    UniqueFd() = default;
    /// Takes ownership of `fd` (-1: owns nothing).
    explicit UniqueFd(int fd) noexcept : fd_(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other)
            reset(std::exchange(other.fd_, -1));
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const noexcept { return fd_; }
    explicit operator bool() const noexcept { return fd_ >= 0; }
    /// Closes the descriptor held and takes `fd` instead.
    void reset(int fd = -1) noexcept {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }
    /// Gives up ownership without closing.
    int release() noexcept { return std::exchange(fd_, -1); }

  private:
    int fd_ = -1;
};

} // namespace platform
