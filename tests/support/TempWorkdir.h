#pragma once
// A fresh temporary working directory for one test process, made the current
// directory for its lifetime, optionally laid out as the install step lays out the
// program's working directory.
//
// Threads: test main thread only (it changes the process's working directory).

#include "support/TempDir.h"

#include <filesystem>

namespace testsupport {

class TempWorkdir {
  public:
    /// Creates an empty directory under the system's temporary directory and
    /// changes into it. Throws std::runtime_error when it cannot.
    TempWorkdir();
    /// Changes back to the previous directory and removes this one with all it holds.
    ~TempWorkdir();
    TempWorkdir(const TempWorkdir&) = delete;
    TempWorkdir& operator=(const TempWorkdir&) = delete;

    const std::filesystem::path& path() const noexcept { return dir_.path(); }

    /// Copies the files the install step puts beside the store: `charsets/`,
    /// `errmsg.sys` and `noimage.jpg`. Throws on failure.
    void copyInstallFiles() const;

  private:
    std::filesystem::path previous_;
    TempDir dir_;
};

/// Creates `Data/Bookmark` in the current working directory by running
/// demo/bookmark.sql through the embedded server, as the install step does. The
/// database library must have been started in that directory. Throws db::Error.
void installBookmarkStore();

} // namespace testsupport
