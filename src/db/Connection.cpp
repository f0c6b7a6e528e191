#include "db/Connection.h"

#include "db/Error.h"
#include "db/Library.h"
#include "db/Query.h"

#include <mysql.h>

#include <algorithm>

namespace db {

void Connection::MysqlCloser::operator()(st_mysql* mysql) const noexcept {
    mysql_close(mysql);
}

Connection::Connection(ConnectionSettings settings) : settings_(std::move(settings)) {}

Connection::~Connection() {
    disconnect();
    // Queries may outlive their connection; they then stay closed and refuse work.
    for (Query* query : queries_)
        query->connection_ = nullptr;
}

void Connection::connect() {
    if (mysql_)
        return;
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
    if (!mysql_real_connect(mysql.get(), orNull(settings_.host), settings_.user.c_str(),
                            settings_.password.c_str(), orNull(settings_.database), settings_.port,
                            orNull(settings_.socket), flags))
        throwLastError(mysql.get());
    mysql_ = std::move(mysql);
    currentDatabase_ = settings_.database;
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
    st_mysql* mysql = handle();
    if (mysql_real_query(mysql, sql.data(), sql.size()) != 0)
        fail();
    const std::uint64_t affected = mysql_affected_rows(mysql);
    if (MYSQL_RES* result = mysql_store_result(mysql))
        mysql_free_result(result);
    else if (mysql_field_count(mysql) != 0)
        fail();
    return affected == static_cast<std::uint64_t>(-1) ? 0 : affected;
}

std::uint64_t Connection::lastInsertId() const {
    return mysql_insert_id(handle());
}

void Connection::useDatabase(const std::string& database) {
    if (database.empty() || database == currentDatabase_)
        return;
    if (settings_.embedded) {
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
    } else if (mysql_select_db(handle(), database.c_str()) != 0) {
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
