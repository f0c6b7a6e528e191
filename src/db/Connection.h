#pragma once
// One database connection, to the remote catalogue server or to the embedded
// bookmark store, through the MySQL C API of the embedded server library.
//
// Threads: user interface thread only (the library itself is started by
// db::startLibrary, whose initialisation runs on a background thread; connect
// waits for it).

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

struct st_mysql;
struct st_mysql_res;

namespace db {

class Query;

struct ConnectionSettings {
    /// Server host name or address. Empty or "localhost" reaches a local server
    /// through its Unix socket (`socket`, or the library's default one).
    std::string host;
    unsigned port = 3306;
    /// Unix socket of a local server; empty for the default.
    std::string socket;
    std::string user;
    std::string password;
    /// Default database of the connection; queries name their own (see Query).
    std::string database;
    /// true: the store inside this process; false: a remote server. Asked for
    /// explicitly either way, never guessed from the host name.
    bool embedded = false;
    /// Compressed protocol (remote connections only).
    bool compress = true;
    std::chrono::seconds connectTimeout{70};
    std::chrono::seconds readTimeout{35};
    std::chrono::seconds writeTimeout{35};
};

/// Waits on the calling thread while a database call runs on a thread of its own.
class Waiter {
  public:
    virtual ~Waiter() = default;
    /// Whether there is anything to keep going while waiting (a window); when not,
    /// calls run on the calling thread.
    virtual bool available() const = 0;
    /// Returns when `finished()` says the call is done (true) or the user cancels
    /// (false). A window keeps painting meanwhile; no handler of the program runs.
    virtual bool wait(const std::function<bool()>& finished) = 0;
};

/// Owns one MYSQL handle while connected. Query components register with the
/// connection they are built on, and closing the connection closes them all and
/// releases their result sets. Neither copyable nor movable: queries refer to it.
class Connection {
  public:
    explicit Connection(ConnectionSettings settings = {});
    /// Closes every query on it, detaches them and disconnects.
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    /// The settings used by the next connect; they may be changed while
    /// disconnected (a change while connected takes effect at the next connect).
    ConnectionSettings& settings() noexcept { return settings_; }
    const ConnectionSettings& settings() const noexcept { return settings_; }

    /// With a waiter, a remote connection connects and runs its statements on a
    /// thread of its own while the waiter waits, so a server that does not answer
    /// does not freeze the caller's window. A cancelled wait throws db::Error with
    /// the number waitCancelled; a statement is cut off by closing its socket and
    /// the connection is closed. Without a waiter (and for the embedded store)
    /// every call runs on the calling thread.
    void setWaiter(Waiter* waiter) { waiter_ = waiter; }

    /// Connects with compression, protocol 4.1, an interactive client, transactions,
    /// the time-outs of the settings and the utf8mb4 character set. Does nothing
    /// when connected. Waits for the library first (waitLibrary, or for an embedded
    /// connection waitEmbeddedServer, whose error it throws when the store's server
    /// could not start). Throws db::Error with the server's (or client library's)
    /// message and error number.
    void connect();
    /// Closes every query on this connection (freeing their results), then the
    /// connection. Does nothing when disconnected.
    void disconnect() noexcept;
    bool connected() const noexcept { return mysql_ != nullptr; }

    /// `text` escaped for an SQL string literal with the connection's character set
    /// (quotes, backslashes, NUL and line breaks; binary safe). Throws db::Error
    /// when not connected.
    std::string escape(std::string_view text) const;
    /// Runs one statement that yields no result set (a result set, if any, is
    /// discarded) in the connection's current database. Connects first when
    /// disconnected. Returns the number of affected rows. Throws db::Error.
    std::uint64_t execute(std::string_view sql);
    /// The AUTO_INCREMENT value of the last row inserted on this connection.
    std::uint64_t lastInsertId() const;

  private:
    friend class Query;

    struct MysqlCloser {
        void operator()(st_mysql* mysql) const noexcept;
    };

    /// The open handle; throws db::Error when disconnected.
    st_mysql* handle() const;
    /// Runs `sql` and returns its stored result set (the caller frees it), or
    /// nullptr for a statement without one. Throws db::Error.
    st_mysql_res* runStatement(std::string_view sql);
    /// Runs `call` on a thread of its own while the waiter waits (see setWaiter),
    /// or here when there is none. Returns false when the wait was cancelled;
    /// `call` has then finished only if `abandon` is false.
    bool offThread(const std::function<void()>& call);
    /// Makes `database` the current database (no-op when it already is or when
    /// empty). Throws db::Error.
    void useDatabase(const std::string& database);
    /// Throws db::Error with the handle's last error.
    [[noreturn]] void fail() const;
    [[noreturn]] static void throwLastError(st_mysql* mysql);
    void attach(Query* query);
    void detach(Query* query) noexcept;

    ConnectionSettings settings_;
    std::unique_ptr<st_mysql, MysqlCloser> mysql_;
    std::string currentDatabase_;
    std::vector<Query*> queries_;
    Waiter* waiter_ = nullptr; ///< not owned
    /// Connection attempts the user stopped waiting for; they end within the
    /// connect time-out and are joined when the connection goes.
    std::vector<std::thread> abandoned_;
};

} // namespace db
