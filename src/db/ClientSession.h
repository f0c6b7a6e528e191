#pragma once
// The database library for a tool that only talks to remote servers (the demo
// seeder, the harvester): the library's embedded server still starts, so it gets a
// private, empty scratch data directory, removed when the session ends, and the
// library is ended however the tool ends.
//
// Thread: the tool's main thread.

#include "db/Library.h"

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

namespace db {

class ClientSession {
  public:
    /// Throws std::runtime_error when the scratch directory cannot be made.
    explicit ClientSession(const std::string& tag) {
        namespace fs = std::filesystem;
        std::string pattern = (fs::temp_directory_path() / (tag + "-XXXXXX")).string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create a scratch directory in " +
                                     fs::temp_directory_path().string());
        scratch_ = pattern;
        startLibrary(clientOnlyOptions(scratch_.string()));
    }
    ~ClientSession() {
        endLibrary();
        std::error_code ignored;
        std::filesystem::remove_all(scratch_, ignored);
    }
    ClientSession(const ClientSession&) = delete;
    ClientSession& operator=(const ClientSession&) = delete;

    /// The scratch directory, which the tool may use for files of its own too.
    const std::filesystem::path& scratch() const { return scratch_; }

  private:
    std::filesystem::path scratch_;
};

} // namespace db
