#pragma once
// The program's command line. Only these options change behaviour.

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace app {

/// An unknown option or a malformed value; the program prints the usage and exits 2.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct CommandLine {
    bool headless = false;
    std::string automation; ///< "", "stdio" or "unix:PATH"
    std::optional<std::string> config;
    std::optional<std::string> workdir;
    std::optional<std::string> screenshot;
    /// --send TEXT: hand TEXT to the running program's receiver and exit.
    std::optional<std::string> send;
    bool version = false;
    bool help = false;

    /// Parses argv[1..]. Throws UsageError.
    static CommandLine parse(const std::vector<std::string>& args);
    static std::string usage();
};

} // namespace app
