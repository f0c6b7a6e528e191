#pragma once
// Start and end of the MySQL library the program uses for both of its databases.
//
// The library is MariaDB's embedded server library: it runs the local bookmark
// store inside the process and also speaks the client protocol to the remote
// catalogue. It must be initialised once per process before the first connection;
// initialisation starts the embedded server, which takes a noticeable moment, so it
// runs on a background thread while the windows are built, and the first database
// use waits for it.
//
// The catalogue must not depend on the bookmark store. When the embedded server
// cannot start (a read-only working directory, say), its failed start leaves the
// library torn down; the initialisation then ends it and starts it again without
// the embedded server, so remote connections work as before, and only embedded
// connections fail, with the store's directory and the server's complaint. The
// embedded server cannot be started a second time in one process.
//
// The library is process-wide state by nature (mysql_library_init may run once per
// process), so these functions manage one process-wide instance.
//
// Threads: startLibrary, waitLibrary, waitEmbeddedServer and endLibrary are called
// from the user interface thread; the initialisation itself runs on a background
// thread that startLibrary creates and a wait or endLibrary joins. All other
// database calls (connections, queries) belong to the user interface thread.

#include <filesystem>
#include <string>
#include <vector>

namespace db {

/// Starts initialising the library on a background thread with the given embedded
/// server options (e.g. "--datadir=."). "--no-defaults" is always put first, so no
/// system option file is read, and a default storage engine that is not InnoDB is
/// added, since the server refuses to start without one when InnoDB is skipped;
/// grant tables are skipped too (there is no `mysql` system database to hold them).
/// Relative paths in the options are taken against the working directory at the
/// time of the call; the store's directory is the `--datadir` option's (default: the
/// working directory). Idempotent: a second call while started does nothing.
/// Throws db::Error when the library has already been ended in this process.
void startLibrary(std::vector<std::string> serverOptions);

/// Blocks until initialisation has finished and the library can reach remote
/// servers, whether or not the embedded server started. Throws db::Error when
/// startLibrary was never called, after endLibrary, or when not even the client
/// side could be initialised. Every remote Connection::connect calls it first.
void waitLibrary();

/// One store, one process: the embedded server starts only while this process
/// holds the lock file `zorvex.lock` in the store's directory. When another process
/// holds it, the server is not started (its files are left alone), remote
/// connections work, and embedded connections fail with "The bookmark store in DIR
/// is in use by another Zorvex; ...".
///
/// Blocks like waitLibrary and also needs the embedded server. Throws db::Error
/// when it could not start: "The bookmark store could not start in DIR: REASON",
/// REASON being the server's own last complaint; when DIR is not writable (or
/// missing) the system's reason follows DIR in parentheses. The error number is
/// 0. Every embedded Connection::connect calls it first.
void waitEmbeddedServer();

/// Shuts the embedded server down and releases the library. Waits for a running
/// initialisation first. Every connection must be closed before. Afterwards the
/// library cannot be started again in this process. noexcept: called at exit.
void endLibrary() noexcept;

/// Whether startLibrary has been called (and endLibrary not yet).
bool libraryStarted() noexcept;

/// The embedded server's data directory as startLibrary resolved it (absolute);
/// empty before the first startLibrary. Its subdirectories are the databases.
std::filesystem::path embeddedDataDirectory();

/// The embedded server options of the bookmark store: every path relative to the
/// working directory, which holds `Data/`, `charsets/` and `errmsg.sys`; InnoDB off;
/// caches sized for a bookmark store rather than the server's defaults.
std::vector<std::string> bookmarkStoreOptions();

/// Options for a process that only talks to remote servers (tools): the embedded
/// server still starts, so it gets a private empty data directory `scratchDir`
/// (which must exist) and the system's message and character set files.
std::vector<std::string> clientOnlyOptions(const std::string& scratchDir);

} // namespace db
