#include "db/Library.h"

#include "db/Error.h"

#include <mysql.h>

#include <condition_variable>
#include <mutex>
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

enum class State { NotStarted, Starting, Ready, Failed, Ended };

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

    void wait() {
        std::unique_lock lock(mutex_);
        if (state_ == State::NotStarted || state_ == State::Ended)
            throw Error("The database library has not been started");
        changed_.wait(lock, [this] { return state_ != State::Starting; });
        joinLocked(lock);
        if (state_ == State::Failed)
            throw Error(failure_);
    }

    void end() noexcept {
        std::unique_lock lock(mutex_);
        if (state_ == State::NotStarted || state_ == State::Ended)
            return;
        changed_.wait(lock, [this] { return state_ != State::Starting; });
        joinLocked(lock);
        if (state_ == State::Ready) {
            // The calling thread was registered with the library by its first
            // mysql_init; release that before the library goes.
            mysql_thread_end();
            mysql_library_end();
        }
        state_ = State::Ended;
    }

    bool started() noexcept {
        std::lock_guard lock(mutex_);
        return state_ == State::Starting || state_ == State::Ready || state_ == State::Failed;
    }

  private:
    void initialise() {
        const int argc = static_cast<int>(argv_.size()) - 1;
        const int result = mysql_library_init(argc, argv_.data(), nullptr);
        if (result == 0)
            mysql_thread_end(); // this thread is done with the library
        std::lock_guard lock(mutex_);
        if (result == 0) {
            state_ = State::Ready;
        } else {
            state_ = State::Failed;
            failure_ = "The embedded database server could not start (see its messages on the "
                       "standard error output)";
        }
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
    std::string failure_;
    std::vector<std::string> arguments_;
    std::vector<char*> argv_;
    std::thread worker_;
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
    library().wait();
}

void endLibrary() noexcept {
    library().end();
}

bool libraryStarted() noexcept {
    return library().started();
}

std::vector<std::string> bookmarkStoreOptions() {
    return {"--basedir=.", "--datadir=.", "--character-sets-dir=./charsets", "--language=.",
            "--skip-innodb",
            // The server's defaults are sized for a database server of its own: their
            // bookkeeping alone costs the process about 30 MB of resident memory. A
            // bookmark store holds one MyISAM table of a few thousand rows at most.
            //
            // MyISAM key cache (default 128 MB, of which 24 MB of block bookkeeping is
            // touched at start): the store's three indexes take a few dozen bytes a
            // row, so 1 MB keeps them all cached for tens of thousands of bookmarks.
            // Rows are read through the file system cache, not this one.
            "--key-buffer-size=1M",
            // Aria page cache (default 128 MB, 6 MB touched at start): only the
            // server's internal temporary tables use Aria here; for the store's sorts
            // and groupings 1 MB is plenty, and larger ones spill to disk, still right.
            "--aria-pagecache-buffer-size=1M",
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
