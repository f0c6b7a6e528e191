#pragma once
// Where the program finds its own files and where it keeps the user's data.
//
// Run from its build tree, the program finds its files (skins, player movie,
// zorvex.ini) next to its executable and works in the current directory or in
// --workdir, as it always has. Installed (PREFIX/bin/zorvex beside
// PREFIX/share/zorvex and PREFIX/libexec/zorvex), it reads its files from
// PREFIX/share/zorvex, reads the user's zorvex.ini over the installed one and,
// without --workdir, works in the user's data directory, which its first start
// prepares with the install step (PREFIX/libexec/zorvex/zorvex-prepare-workdir).
//
// Thread: start-up only, before the windows are made.

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "app/Config.h"

namespace app {

/// The user's data directory cannot be found, made, written or prepared. The
/// message names the directory.
class InstallError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

/// Reads one environment variable; nullopt when it is not set.
using Environment = std::function<std::optional<std::string>(std::string_view)>;
/// The process's environment; HOME falls back to the password database's entry.
Environment processEnvironment();

struct Installation {
    /// Whether the executable runs from an installed prefix.
    bool installed = false;
    /// The folder of the program's own files: skins, "fl8b.swf", the default
    /// zorvex.ini (the executable's folder unless installed).
    std::string dataDir;
    /// The folder of the install step and its tool; empty unless installed.
    std::string libexecDir;

    /// Installed when `exeDir`/../share/zorvex holds zorvex.ini and
    /// `exeDir`/../libexec/zorvex exists.
    static Installation find(const std::string& exeDir);
};

/// $XDG_DATA_HOME/zorvex, or $HOME/.local/share/zorvex when XDG_DATA_HOME is unset,
/// empty or not absolute (such a value is ignored). Throws InstallError when
/// neither gives an absolute directory.
std::string userDataDir(const Environment& env);
/// $XDG_CONFIG_HOME/zorvex/zorvex.ini, or $HOME/.config/zorvex/zorvex.ini, by the
/// same rules; empty when neither gives an absolute directory.
std::string userConfigFile(const Environment& env);

/// The settings the program starts with. With `configOption`, that file alone over
/// the defaults. Installed: the installed zorvex.ini, then the user's file over it
/// when it exists (a key the user's file sets wins). From the build tree: the
/// zorvex.ini in dataDir when it exists. Throws ConfigError.
Config loadConfig(const std::optional<std::string>& configOption, const Installation& installation,
                  const Environment& env);

/// Makes `dir` the installed program's working directory: creates it with its
/// parents, checks that it can be written, and runs the install step on it unless it
/// already holds `Data/`, `charsets/`, "errmsg.sys" and "noimage.jpg". The step's
/// output goes to the standard error, so a standard output carrying the automation
/// channel stays clean. Throws InstallError naming `dir`.
void prepareDataDir(const std::string& dir, const Installation& installation);

} // namespace app
