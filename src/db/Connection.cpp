#include "db/Connection.h"

#include "db/Error.h"
#include "db/Library.h"
#include "db/Query.h"

#include <mysql.h>
#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <mutex>

namespace db {

void Connection::MysqlCloser::operator()(st_mysql* mysql) const noexcept {
    mysql_close(mysql);
}

Connection::Connection(ConnectionSettings settings) : settings_(std::move(settings)) {}

Connection::~Connection() {
    disconnect();
    for (std::thread& attempt : abandoned_)
        attempt.join();
    // Queries may outlive their connection; they then stay closed and refuse work.
    for (Query* query : queries_)
        query->connection_ = nullptr;
}

void Connection::connect() {
    if (mysql_)
        return;
    // The catalogue does not need the bookmark store's server, only the library.
    if (settings_.embedded)
        waitEmbeddedServer();
    else
        waitLibrary();
    std::unique_ptr<st_mysql, MysqlCloser> mysql(mysql_init(nullptr));
    if (!mysql)
        throw Error("Out of memory while creating a database connection");

    unsigned long flags = CLIENT_PROTOCOL_41 | CLIENT_INTERACTIVE | CLIENT_TRANSACTIONS;
    if (settings_.embedded) {
        mysql_options(mysql.get(), MYSQL_OPT_USE_EMBEDDED_CONNECTION, nullptr);
    } else {
        mysql_options(mysql.get(), MYSQL_OPT_USE_REMOTE_CONNECTION, nullptr);
        if (settings_.compress) {
            mysql_options(mysql.get(), MYSQL_OPT_COMPRESS, nullptr);
            flags |= CLIENT_COMPRESS;
        }
        const auto seconds = [](std::chrono::seconds value) {
            return static_cast<unsigned int>(std::max<std::chrono::seconds::rep>(value.count(), 0));
        };
        const unsigned int connectTimeout = seconds(settings_.connectTimeout);
        const unsigned int readTimeout = seconds(settings_.readTimeout);
        const unsigned int writeTimeout = seconds(settings_.writeTimeout);
        mysql_options(mysql.get(), MYSQL_OPT_CONNECT_TIMEOUT, &connectTimeout);
        mysql_options(mysql.get(), MYSQL_OPT_READ_TIMEOUT, &readTimeout);
        mysql_options(mysql.get(), MYSQL_OPT_WRITE_TIMEOUT, &writeTimeout);
    }
    mysql_options(mysql.get(), MYSQL_SET_CHARSET_NAME, "utf8mb4");

    const auto orNull = [](const std::string& text) {
        return text.empty() ? nullptr : text.c_str();
    };
    if (settings_.embedded) {
        // The embedded server loses the error of a failed database selection at
        // connect time (the handle reports error 0 and no text), so the database is
        // chosen afterwards by a statement, whose errors it does report.
        if (!mysql_real_connect(mysql.get(), nullptr, settings_.user.c_str(),
                                settings_.password.c_str(), nullptr, 0, nullptr, flags))
            throwLastError(mysql.get());
        mysql_ = std::move(mysql);
        try {
            useDatabase(settings_.database);
        } catch (...) {
            mysql_.reset();
            currentDatabase_.clear();
            throw;
        }
        return;
    }
    if (!waiter_ || !waiter_->available()) {
        if (!mysql_real_connect(mysql.get(), orNull(settings_.host), settings_.user.c_str(),
                                settings_.password.c_str(), orNull(settings_.database),
                                settings_.port, orNull(settings_.socket), flags))
            throwLastError(mysql.get());
        mysql_ = std::move(mysql);
        currentDatabase_ = settings_.database;
        return;
    }

    // The attempt runs on its own thread and owns its handle, so a user who stops
    // waiting can leave it: it ends within the connect time-out and closes its
    // handle itself.
    struct Attempt {
        std::mutex mutex;
        std::unique_ptr<st_mysql, MysqlCloser> mysql;
        ConnectionSettings settings;
        bool connected = false;
        bool done = false;
        bool abandoned = false;
    };
    auto attempt = std::make_shared<Attempt>();
    attempt->mysql = std::move(mysql);
    attempt->settings = settings_;
    std::thread worker([attempt, flags, orNull] {
        mysql_thread_init();
        const auto& s = attempt->settings;
        const bool connected =
            mysql_real_connect(attempt->mysql.get(), orNull(s.host), s.user.c_str(),
                               s.password.c_str(), orNull(s.database), s.port, orNull(s.socket),
                               flags) != nullptr;
        {
            std::lock_guard lock(attempt->mutex);
            attempt->connected = connected;
            attempt->done = true;
            if (attempt->abandoned)
                attempt->mysql.reset();
        }
        mysql_thread_end();
    });
    const bool waited = waiter_->wait([&] {
        std::lock_guard lock(attempt->mutex);
        return attempt->done;
    });
    bool left = false;
    if (!waited) {
        std::lock_guard lock(attempt->mutex);
        if (!attempt->done)
            left = attempt->abandoned = true;
    }
    if (left) {
        abandoned_.push_back(std::move(worker));
        throw Error("the user stopped waiting for the server", waitCancelled);
    }
    worker.join();
    if (!attempt->connected)
        throwLastError(attempt->mysql.get());
    mysql_ = std::move(attempt->mysql);
    currentDatabase_ = settings_.database;
}

bool Connection::offThread(const std::function<void()>& call) {
    if (!waiter_ || !waiter_->available() || settings_.embedded) {
        call();
        return true;
    }
    std::atomic<bool> done{false};
    std::thread worker([&] {
        mysql_thread_init();
        call();
        mysql_thread_end();
        done = true;
    });
    const bool waited = waiter_->wait([&] { return done.load(); });
    if (!waited && !done) // cut the call off
        ::shutdown(static_cast<int>(mysql_get_socket(mysql_.get())), SHUT_RDWR);
    worker.join();
    return waited;
}

st_mysql_res* Connection::runStatement(std::string_view sql) {
    st_mysql* mysql = handle();
    int status = 0;
    st_mysql_res* result = nullptr;
    const bool waited = offThread([&] {
        status = mysql_real_query(mysql, sql.data(), sql.size());
        if (status == 0)
            result = mysql_store_result(mysql);
    });
    if (!waited) {
        if (result)
            mysql_free_result(result);
        disconnect();
        throw Error("the user stopped waiting for the server", waitCancelled);
    }
    if (status != 0)
        fail();
    if (!result && mysql_field_count(mysql) != 0)
        fail();
    return result;
}

void Connection::disconnect() noexcept {
    for (Query* query : queries_)
        query->close();
    mysql_.reset();
    currentDatabase_.clear();
}

st_mysql* Connection::handle() const {
    if (!mysql_)
        throw Error("The database connection is not open");
    return mysql_.get();
}

void Connection::throwLastError(st_mysql* mysql) {
    const unsigned int number = mysql_errno(mysql);
    const char* message = mysql_error(mysql);
    if (number == 0 && (!message || !*message))
        throw Error("The database server reported a failure without saying what failed");
    throw Error(message, static_cast<int>(number));
}

void Connection::fail() const {
    throwLastError(handle());
}

std::string Connection::escape(std::string_view text) const {
    st_mysql* mysql = handle();
    std::string escaped(text.size() * 2 + 1, '\0');
    const unsigned long length =
        mysql_real_escape_string(mysql, escaped.data(), text.data(), text.size());
    if (length == static_cast<unsigned long>(-1))
        fail();
    escaped.resize(length);
    return escaped;
}

std::uint64_t Connection::execute(std::string_view sql) {
    connect();
    MYSQL_RES* result = runStatement(sql);
    const std::uint64_t affected = mysql_affected_rows(handle());
    if (result)
        mysql_free_result(result);
    return affected == static_cast<std::uint64_t>(-1) ? 0 : affected;
}

std::uint64_t Connection::lastInsertId() const {
    return mysql_insert_id(handle());
}

void Connection::useDatabase(const std::string& database) {
    if (database.empty() || database == currentDatabase_)
        return;
    if (settings_.embedded) {
        // The server takes a database whose directory is a file, then answers every
        // statement with "Table ... doesn't exist" and refuses every new table, so
        // the store's real fault is named here instead.
        std::error_code ec;
        const std::filesystem::path directory = embeddedDataDirectory() / database;
        if (std::filesystem::exists(directory, ec) && !std::filesystem::is_directory(directory, ec))
            throw Error("The bookmark store could not open its database " + directory.string() +
                        ": " + std::strerror(ENOTDIR));
        // mysql_select_db loses its error on the embedded server (see connect).
        std::string use = "USE `";
        for (char c : database) {
            use += c;
            if (c == '`')
                use += '`';
        }
        use += '`';
        if (mysql_real_query(handle(), use.data(), use.size()) != 0)
            fail();
    } else {
        st_mysql* mysql = handle();
        int status = 0;
        if (!offThread([&] { status = mysql_select_db(mysql, database.c_str()); })) {
            disconnect();
            throw Error("the user stopped waiting for the server", waitCancelled);
        }
        if (status != 0)
            fail();
    }
    currentDatabase_ = database;
}

void Connection::attach(Query* query) {
    queries_.push_back(query);
}

void Connection::detach(Query* query) noexcept {
    queries_.erase(std::remove(queries_.begin(), queries_.end(), query), queries_.end());
}

} // namespace db
