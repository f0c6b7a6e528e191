#include "automation/FdWriter.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <ctime>

namespace automation {

namespace {

// A write to a pipe has no MSG_NOSIGNAL: SIGPIPE is blocked for this thread around
// the write, and one it raised is taken off the pending set before unblocking.
class SigpipeBlock {
  public:
    SigpipeBlock() {
        sigemptyset(&pipe_);
        sigaddset(&pipe_, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipe_, &old_);
    }
    ~SigpipeBlock() {
        if (raised_ && !sigismember(&old_, SIGPIPE)) {
            sigset_t pending;
            sigemptyset(&pending);
            if (sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE)) {
                const timespec zero{};
                while (sigtimedwait(&pipe_, nullptr, &zero) < 0 && errno == EINTR) {
                }
            }
        }
        pthread_sigmask(SIG_SETMASK, &old_, nullptr);
    }
    SigpipeBlock(const SigpipeBlock&) = delete;
    SigpipeBlock& operator=(const SigpipeBlock&) = delete;
    void raised() { raised_ = true; }

  private:
    sigset_t pipe_;
    sigset_t old_;
    bool raised_ = false;
};

} // namespace

bool writeAll(int fd, std::string_view data) noexcept {
    const int savedErrno = errno;
    SigpipeBlock block;
    bool socket = true;
    while (!data.empty()) {
        ssize_t n = socket ? ::send(fd, data.data(), data.size(), MSG_NOSIGNAL) : -1;
        if (n < 0 && socket && errno == ENOTSOCK) {
            socket = false;
            continue;
        }
        if (!socket)
            n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EPIPE)
                block.raised();
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    errno = savedErrno;
    return true;
}

} // namespace automation
