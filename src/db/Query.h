#pragma once
// The query component: one SQL statement run on a Connection in a database of its
// own, with its result set held on the client so that rows can be read in order or
// by position, columns by name or by position; and the appending of a row to a
// table as an escaped INSERT.
//
// Threads: user interface thread only.

#include "db/Connection.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct st_mysql_res;

namespace db {

/// A view of one column of the current row. It refers into the query's result set
/// and is valid until the query moves to another row, closes or is destroyed.
class Field {
  public:
    std::string_view name() const noexcept { return name_; }
    bool isNull() const noexcept { return data_ == nullptr; }
    /// The value as text (the server sends every value as text); NULL gives "".
    std::string text() const { return std::string(bytes()); }
    /// The value as a variant turned into text: NULL gives "".
    std::string variantText() const { return text(); }
    /// The raw bytes, blobs unchanged; empty for NULL.
    std::string_view bytes() const noexcept {
        return data_ ? std::string_view(data_, length_) : std::string_view();
    }
    /// Writes the bytes unchanged to `path`, replacing its content. Throws db::Error
    /// naming the file when it cannot be written.
    void saveToFile(const std::filesystem::path& path) const;
    /// The value as a whole number (surrounding blanks allowed); NULL gives 0.
    /// Throws db::Error naming the value and the field when it is not one.
    long long toInt() const;

  private:
    friend class Query;
    Field(std::string_view name, const char* data, unsigned long length) noexcept
        : name_(name), data_(data), length_(length) {}

    std::string_view name_;
    const char* data_;
    unsigned long length_;
};

class Query {
  public:
    /// Registers with `connection`. `database` is where every statement of this
    /// query runs, whatever the connection's current database is; empty means the
    /// connection's default.
    Query(Connection& connection, std::string database);
    /// Closes and unregisters. Safe whether the connection still exists or not.
    ~Query();
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    const std::string& database() const noexcept { return database_; }
    void setDatabase(std::string database) { database_ = std::move(database); }
    /// Sets the statement of the next open; closes the query first.
    void setSql(std::string sql);
    const std::string& sql() const noexcept { return sql_; }

    /// Runs the statement and keeps its result set, positioned on the first row.
    /// Connects a disconnected connection first; when that fails, throws db::Error
    /// "Dataset server could not connect" with the server's error number. A
    /// statement the server rejects throws db::Error with the server's message and
    /// number, and the query stays closed. A statement without a result set (an
    /// UPDATE or DELETE, say) runs and leaves the query closed.
    void open();
    /// Frees the result set. Never fails.
    void close() noexcept;
    bool isOpen() const noexcept { return result_ != nullptr; }
    /// True past the last row, for an empty result, and while closed.
    bool eof() const noexcept { return row_ == nullptr; }
    /// Moves to the next row (to end of data after the last). No-op while closed.
    void next();
    /// Moves to row `index` (0-based), or to end of data when it is past the end.
    /// No-op while closed.
    void seek(std::uint64_t index);
    /// Rows in the result set; 0 while closed.
    std::uint64_t recordCount() const noexcept;
    /// Columns in the result set; 0 while closed.
    int fieldCount() const noexcept;
    /// The name of column `position` (0-based). Throws db::Error when out of range.
    std::string fieldName(int position) const;
    /// Column `name` (case-insensitive, as the server's names are) of the current
    /// row. Throws db::Error naming the field when there is no such column, or when
    /// the query is closed or at end of data.
    Field field(std::string_view name) const;
    /// Column `position` (0-based) of the current row. Throws db::Error naming the
    /// position when out of range, or when closed or at end of data.
    Field field(int position) const;

    /// Runs the statement, which yields no result set, and returns the affected
    /// row count. Connects as open() does; throws db::Error like open().
    std::uint64_t execSql();

    // Appending a row: beginAppend reads the table's columns, the set* calls give
    // values by position (0-based, in table column order) or by name, and post
    // inserts the row with every value escaped. Columns not set are left to the
    // table's defaults (an AUTO_INCREMENT key, for example).

    /// Starts a new row for `table` in this query's database; closes the query.
    /// Connects as open() does. Throws db::Error.
    void beginAppend(std::string table);
    bool appending() const noexcept { return appendTable_.has_value(); }
    /// Sets a column to text or bytes (blob bytes go in unchanged). Throws
    /// db::Error when not appending or when there is no such column.
    void setField(int position, std::string_view value);
    void setField(std::string_view name, std::string_view value);
    /// Sets a column to NULL.
    void setFieldNull(int position);
    void setFieldNull(std::string_view name);
    /// Sets a column to the contents of a file. Throws db::Error naming the file
    /// when it cannot be read.
    void setFieldFromFile(int position, const std::filesystem::path& path);
    void setFieldFromFile(std::string_view name, const std::filesystem::path& path);
    /// Inserts the row and ends the append, also when the insert fails. Throws
    /// db::Error with the server's message and number (1062 for a duplicate key).
    /// Returns the AUTO_INCREMENT value the row received, or 0.
    std::uint64_t post();
    /// Drops the row being appended.
    void cancelAppend() noexcept;

  private:
    friend class Connection;

    struct ResultFree {
        void operator()(st_mysql_res* result) const noexcept;
    };

    /// Connects when needed (with the fixed message on failure) and selects this
    /// query's database.
    void prepareConnection();
    Connection& connection() const;
    int positionOf(std::string_view name) const;
    int appendPosition(std::string_view name) const;
    void checkAppendPosition(int position) const;

    Connection* connection_;
    std::string database_;
    std::string sql_;
    std::unique_ptr<st_mysql_res, ResultFree> result_;
    char** row_ = nullptr;
    unsigned long* lengths_ = nullptr;
    std::vector<std::string> fieldNames_;

    std::optional<std::string> appendTable_;
    std::vector<std::string> appendColumns_;
    // Per column: not set (nullopt), NULL (a set optional holding nullopt) or a value.
    std::vector<std::optional<std::optional<std::string>>> appendValues_;
};

} // namespace db
