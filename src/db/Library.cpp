#include "db/Library.h"

#include "db/Error.h"

#include <fcntl.h>
#include <mysql.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string_view>
#include <thread>

namespace db {
namespace {

// The storage engine new tables get when a statement names none. InnoDB is skipped
// (the store's own options say so), and the server refuses to start while its
// default engine is unavailable. Aria is crash-safe and always built in.
constexpr const char* defaultEngineOption = "--default-storage-engine=Aria";

// Access control has no meaning inside one process, and the store has no `mysql`
// system database: without this the server looks for its plugin and function
// tables there at start-up and complains on the standard error output.
constexpr const char* skipGrantTablesOption = "--skip-grant-tables";

// Ready: the embedded server and the client side work. ClientOnly: the embedded
// server could not start, remote connections work. Failed: nothing works.
enum class State { NotStarted, Starting, Ready, ClientOnly, Failed, Ended };

// The directory the embedded server keeps its files in: the last --datadir option,
// relative to the working directory at the start, or the working directory itself.
std::filesystem::path dataDirectory(const std::vector<std::string>& options) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path directory = fs::current_path(ec);
    constexpr std::string_view prefix = "--datadir=";
    for (const auto& option : options)
        if (option.compare(0, prefix.size(), prefix) == 0)
            directory = (directory / option.substr(prefix.size())).lexically_normal();
    if (directory.has_parent_path() && !directory.has_filename())
        directory = directory.parent_path(); // "/work/dir/." normalises to "/work/dir/"
    return directory;
}

// What an embedded connection reports when the server did not start. The server's
// last complaint is often only its final step ("Failed to create ddl log file:
// ..."), so a directory that cannot be written gets the system's reason too.
std::string storeFailureMessage(const std::filesystem::path& directory,
                                std::string_view complaint) {
    std::string message = "The bookmark store could not start in " + directory.string();
    if (::access(directory.c_str(), W_OK) != 0)
        message += std::string(" (") + std::strerror(errno) + ")";
    message += ": ";
    message += complaint.empty() ? std::string_view("the server gave no reason") : complaint;
    return message;
}

// The file in the store's directory that the process running the store holds
// locked. The embedded server takes no lock of its own on its table files, so a
// second process starting it on the same directory would write the same files.
constexpr const char* storeLockFile = "zorvex.lock";

// Takes the store's lock without waiting. Returns the open, locked file; -1 with
// `inUse` set when another process holds it; -1 without `inUse` when the file cannot
// be made (a read-only directory), where the server's own start then fails and says
// why.
int lockStore(const std::filesystem::path& directory, bool& inUse) {
    inUse = false;
    const std::string path = (directory / storeLockFile).string();
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        inUse = errno == EWOULDBLOCK;
        ::close(fd);
        return -1;
    }
    return fd;
}

// The process-wide library state. It lives in a function-local static because the
// C library it mirrors is itself process-wide; nothing else is global.
class LibraryState {
  public:
    ~LibraryState() {
        // At exit without endLibrary: never leave a joinable thread behind.
        std::unique_lock lock(mutex_);
        joinLocked(lock);
    }

    void start(std::vector<std::string> options) {
        std::unique_lock lock(mutex_);
        if (state_ == State::Ended)
            throw Error("The database library has been ended and cannot start again");
        if (state_ != State::NotStarted)
            return;
        directory_ = dataDirectory(options);
        // The server keeps pointers into its argument strings, so they live here
        // until the library ends.
        arguments_.clear();
        arguments_.push_back("zorvex");
        arguments_.push_back("--no-defaults");
        for (auto& option : options)
            arguments_.push_back(std::move(option));
        arguments_.push_back(defaultEngineOption);
        arguments_.push_back(skipGrantTablesOption);
        argv_.clear();
        for (auto& argument : arguments_)
            argv_.push_back(argument.data());
        argv_.push_back(nullptr);
        state_ = State::Starting;
        worker_ = std::thread([this] { initialise(); });
    }

    void wait(bool needEmbeddedServer) {
        std::unique_lock lock(mutex_);
        if (state_ == State::NotStarted || state_ == State::Ended)
            throw Error("The database library has not been started");
        changed_.wait(lock, [this] { return state_ != State::Starting; });
        joinLocked(lock);
        if (state_ == State::Failed)
            throw Error(failure_);
        if (state_ == State::ClientOnly && needEmbeddedServer)
            throw Error(storeFailure_);
    }

    void end() noexcept {
        std::unique_lock lock(mutex_);
        if (state_ == State::NotStarted || state_ == State::Ended)
            return;
        changed_.wait(lock, [this] { return state_ != State::Starting; });
        joinLocked(lock);
        if (state_ == State::Ready || state_ == State::ClientOnly) {
            // The calling thread was registered with the library by its first
            // mysql_init; release that before the library goes.
            mysql_thread_end();
            mysql_library_end();
        }
        if (lockFd_ >= 0)
            ::close(lockFd_); // releases the store's lock
        lockFd_ = -1;
        state_ = State::Ended;
    }

    std::filesystem::path directory() {
        std::lock_guard lock(mutex_);
        return directory_;
    }

    bool started() noexcept {
        std::lock_guard lock(mutex_);
        return state_ == State::Starting || state_ == State::Ready || state_ == State::ClientOnly ||
               state_ == State::Failed;
    }

  private:
    void initialise() {
        const int argc = static_cast<int>(argv_.size()) - 1;
        State outcome = State::Ready;
        std::string storeFailure;
        std::string failure;
        bool inUse = false;
        lockFd_ = lockStore(directory_, inUse);
        if (inUse) {
            // Another process runs the store here: leave its files alone and start
            // the client side only, so the catalogue still works in this one.
            storeFailure = "The bookmark store in " + directory_.string() +
                           " is in use by another Zorvex; close it to use your bookmarks here";
            if (mysql_library_init(-1, nullptr, nullptr) == 0) {
                outcome = State::ClientOnly;
            } else {
                outcome = State::Failed;
                failure = "The database library could not start. " + storeFailure;
            }
        } else if (mysql_library_init(argc, argv_.data(), nullptr) != 0) {
            // mysql_error(nullptr) is the server's last message of its start-up.
            storeFailure = storeFailureMessage(directory_, mysql_error(nullptr));
            // A failed start leaves the library half torn down: the server has ended
            // the runtime the client side needs, while the library still counts itself
            // initialised, so every mysql_init would fail. Ending it resets that (its
            // server clean-up runs once only); an argument count of -1 then starts the
            // client side alone. A second embedded server would not start here.
            mysql_library_end();
            if (mysql_library_init(-1, nullptr, nullptr) == 0) {
                outcome = State::ClientOnly;
            } else {
                outcome = State::Failed;
                failure = "The database library could not start. " + storeFailure;
            }
        }
        if (outcome != State::Failed)
            mysql_thread_end(); // this thread is done with the library
        std::lock_guard lock(mutex_);
        state_ = outcome;
        storeFailure_ = std::move(storeFailure);
        failure_ = std::move(failure);
        changed_.notify_all();
    }

    void joinLocked(std::unique_lock<std::mutex>& lock) {
        if (!worker_.joinable())
            return;
        std::thread worker = std::move(worker_);
        lock.unlock();
        worker.join();
        lock.lock();
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    State state_ = State::NotStarted;
    std::filesystem::path directory_; ///< the embedded server's data directory
    std::string storeFailure_;        ///< why embedded connections fail (ClientOnly)
    std::string failure_;             ///< why every connection fails (Failed)
    std::vector<std::string> arguments_;
    std::vector<char*> argv_;
    std::thread worker_;
    int lockFd_ = -1; ///< the store's lock file, held while the library runs
};

LibraryState& library() {
    static LibraryState state;
    return state;
}

} // namespace

void startLibrary(std::vector<std::string> serverOptions) {
    library().start(std::move(serverOptions));
}

void waitLibrary() {
    library().wait(false);
}

void waitEmbeddedServer() {
    library().wait(true);
}

void endLibrary() noexcept {
    library().end();
}

bool libraryStarted() noexcept {
    return library().started();
}

std::filesystem::path embeddedDataDirectory() {
    return library().directory();
}

std::vector<std::string> bookmarkStoreOptions() {
    return {"--basedir=.", "--datadir=.", "--character-sets-dir=./charsets", "--language=.",
            "--skip-innodb",
            // The server's defaults are sized for a database server of its own: their
            // bookkeeping alone costs the process about 30 MB of resident memory. A
            // bookmark store holds one table of a few thousand rows at most.
            //
            // MyISAM key cache (default 128 MB, of which 24 MB of block bookkeeping is
            // touched at start): the Bookmark table is Aria, so only a store made by
            // an earlier install, before its conversion, would use it.
            "--key-buffer-size=1M",
            // Aria page cache (default 128 MB, 6 MB touched at start): the Bookmark
            // table and the server's internal temporary tables. A page of sixteen
            // bookmarks reads a few dozen pages through it; the rest of the table
            // stays in the file system cache.
            "--aria-pagecache-buffer-size=1M",
            // Aria log files (default 1 GB each): the log is replayed after a crash and
            // its files are deleted once a checkpoint no longer needs them, but only
            // whole files, so at the default one file would grow to 1 GB in the working
            // directory. At 16 MB the log stays small; a bookmark insert is a few KB.
            "--aria-log-file-size=16M",
            // Open table handles: the store has one table; a full cache closes and
            // reopens tables, never refuses them.
            "--table-open-cache=64", "--table-open-cache-instances=1"};
}

std::vector<std::string> clientOnlyOptions(const std::string& scratchDir) {
    return {"--basedir=" + scratchDir, "--datadir=" + scratchDir,
            "--character-sets-dir=/usr/share/mysql/charsets", "--lc-messages-dir=/usr/share/mysql",
            "--skip-innodb"};
}

} // namespace db
