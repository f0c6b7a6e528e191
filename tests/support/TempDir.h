#pragma once
// A fresh directory under the system's temporary folder, removed with everything
// in it when the object goes.

#include <filesystem>
#include <string>

namespace testsupport {

class TempDir {
  public:
    /// `tag` becomes part of the directory name, to tell test leftovers apart.
    explicit TempDir(const std::string& tag = "zorvex");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    /// Writes `bytes` to a file in the directory and returns its path.
    std::string write(const std::string& name, const std::string& bytes) const;

  private:
    std::filesystem::path path_;
};

} // namespace testsupport
