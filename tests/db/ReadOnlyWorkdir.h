#pragma once
// A working directory the embedded server cannot write to, for the tests of a
// bookmark store that cannot start (shared with the whole-program test in
// tests/browse).
//
// A plain user gets it with chmod. Root writes through any permission bits, so for
// root this process gets a mount namespace of its own in which the directory is
// bind-mounted read-only over itself: the kernel then refuses every write with
// "Read-only file system", and nothing outside this process sees the change. The
// namespace is entered by the calling thread only, so it must happen before the
// database library's thread starts (threads inherit it from their creator).
//
// Threads: test main thread only (it changes the process's working directory).

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

namespace testsupport {

class ReadOnlyWorkdir {
  public:
    /// Makes `directory`, the current working directory, read-only for this process
    /// and changes into it again (a mount over the working directory does not move
    /// the process onto it). On failure the directory stays as it was and
    /// `whyNot()` says why.
    explicit ReadOnlyWorkdir(std::filesystem::path directory) : directory_(std::move(directory)) {
        if (::geteuid() == 0)
            mountReadOnly();
        else if (::chmod(directory_.c_str(), 0555) == 0)
            chmodded_ = true;
        else
            whyNot_ = "chmod 555 " + directory_.string() + ": " + std::strerror(errno);
        if (whyNot_.empty() && ::chdir(directory_.c_str()) != 0)
            whyNot_ = "chdir " + directory_.string() + ": " + std::strerror(errno);
        if (whyNot_.empty())
            checkNoWrite();
    }

    /// Makes the directory writable again, so that it can be removed.
    ~ReadOnlyWorkdir() {
        if (mounted_)
            ::umount2(directory_.c_str(), MNT_DETACH);
        if (chmodded_)
            ::chmod(directory_.c_str(), 0755);
    }

    ReadOnlyWorkdir(const ReadOnlyWorkdir&) = delete;
    ReadOnlyWorkdir& operator=(const ReadOnlyWorkdir&) = delete;

    /// Empty when the directory is read-only; otherwise why it could not be made so.
    const std::string& whyNot() const noexcept { return whyNot_; }

    /// The system's reason a write into the directory fails: "Read-only file
    /// system" for root, "Permission denied" for a plain user.
    std::string writeError() const { return std::strerror(mounted_ ? EROFS : EACCES); }

  private:
    void mountReadOnly() {
        const char* path = directory_.c_str();
        if (::unshare(CLONE_NEWNS) != 0) {
            whyNot_ = std::string("unshare(CLONE_NEWNS): ") + std::strerror(errno);
            return;
        }
        // Private first, so the mounts below never reach the rest of the machine.
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            whyNot_ = std::string("making / private: ") + std::strerror(errno);
            return;
        }
        if (::mount(path, path, nullptr, MS_BIND, nullptr) != 0) {
            whyNot_ = "bind mount of " + directory_.string() + ": " + std::strerror(errno);
            return;
        }
        mounted_ = true;
        if (::mount(nullptr, path, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0)
            whyNot_ = "read-only remount of " + directory_.string() + ": " + std::strerror(errno);
    }

    void checkNoWrite() {
        const std::filesystem::path probe = directory_ / "write-probe";
        const int fd = ::open(probe.c_str(), O_CREAT | O_WRONLY, 0644);
        if (fd >= 0) {
            ::close(fd);
            ::unlink(probe.c_str());
            whyNot_ = "the directory " + directory_.string() + " still takes new files";
        }
    }

    std::filesystem::path directory_;
    bool mounted_ = false;
    bool chmodded_ = false;
    std::string whyNot_;
};

} // namespace testsupport
