#include "db/Query.h"

#include "db/Error.h"

#include <mysql.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <iterator>

namespace db {
namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

std::string quoteIdentifier(std::string_view name) {
    std::string quoted = "`";
    for (char c : name) {
        quoted += c;
        if (c == '`')
            quoted += '`';
    }
    quoted += '`';
    return quoted;
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw Error("Cannot open file \"" + path.string() + "\"");
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        throw Error("Cannot read file \"" + path.string() + "\"");
    return bytes;
}

} // namespace

// ---- Field ----

void Field::saveToFile(const std::filesystem::path& path) const {
    // The bytes go over the old file's and the file is then cut to their length,
    // rather than emptying it first: ext4 flushes a file emptied and written again
    // to the disk when it is closed (and hands the freed blocks back at once), which
    // made every picture of a page wait for the disk. The result is the same file.
    const std::string_view data = bytes();
    auto failed = [&path](int error) {
        return Error("Cannot write file \"" + path.string() + "\"" +
                     (error ? std::string(" (") + std::strerror(error) + ")" : ""));
    };
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        throw failed(errno);
    int error = 0;
    for (std::size_t done = 0; done < data.size() && error == 0;) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n > 0)
            done += static_cast<std::size_t>(n);
        else if (n == 0)
            error = EIO; // a file that takes nothing would be asked for ever
        else if (errno != EINTR)
            error = errno;
    }
    // Only a regular file has a length to cut; a pipe or a device is written as it is.
    struct stat info {};
    if (error == 0 && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
        info.st_size != static_cast<off_t>(data.size()) &&
        ::ftruncate(fd, static_cast<off_t>(data.size())) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0 && errno != EINTR)
        error = errno;
    if (error != 0)
        throw failed(error);
}

long long Field::toInt() const {
    if (isNull())
        return 0;
    std::string_view text = bytes();
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        throw Error("'" + std::string(bytes()) + "' is not a valid integer value for field '" +
                    std::string(name_) + "'");
    }
    return value;
}

// ---- Query ----

void Query::ResultFree::operator()(st_mysql_res* result) const noexcept {
    mysql_free_result(result);
}

Query::Query(Connection& connection, std::string database)
    : connection_(&connection), database_(std::move(database)) {
    connection_->attach(this);
}

Query::~Query() {
    close();
    if (connection_)
        connection_->detach(this);
}

Connection& Query::connection() const {
    if (!connection_)
        throw Error("The query's database connection no longer exists");
    return *connection_;
}

void Query::setSql(std::string sql) {
    close();
    sql_ = std::move(sql);
}

void Query::prepareConnection() {
    Connection& connection = this->connection();
    if (!connection.connected()) {
        try {
            connection.connect();
        } catch (const Error& error) {
            throw couldNotConnect(error);
        }
    }
    connection.useDatabase(database_);
}

void Query::open() {
    close();
    prepareConnection();
    std::unique_ptr<st_mysql_res, ResultFree> result(connection().runStatement(sql_));
    if (!result)
        return; // a statement without a result set has run; nothing to hold
    const unsigned int count = mysql_num_fields(result.get());
    const MYSQL_FIELD* fields = mysql_fetch_fields(result.get());
    fieldNames_.clear();
    for (unsigned int i = 0; i < count; ++i)
        fieldNames_.emplace_back(fields[i].name, fields[i].name_length);
    result_ = std::move(result);
    next();
}

void Query::close() noexcept {
    result_.reset();
    row_ = nullptr;
    lengths_ = nullptr;
    fieldNames_.clear();
}

void Query::next() {
    if (!result_)
        return;
    row_ = mysql_fetch_row(result_.get());
    lengths_ = row_ ? mysql_fetch_lengths(result_.get()) : nullptr;
}

void Query::seek(std::uint64_t index) {
    if (!result_)
        return;
    if (index >= recordCount()) {
        row_ = nullptr;
        lengths_ = nullptr;
        return;
    }
    mysql_data_seek(result_.get(), index);
    next();
}

std::uint64_t Query::recordCount() const noexcept {
    return result_ ? mysql_num_rows(result_.get()) : 0;
}

int Query::fieldCount() const noexcept {
    return static_cast<int>(fieldNames_.size());
}

std::string Query::fieldName(int position) const {
    if (position < 0 || position >= fieldCount())
        throw Error("Field index " + std::to_string(position) + " out of range (" +
                    std::to_string(fieldCount()) + " fields)");
    return fieldNames_[static_cast<std::size_t>(position)];
}

int Query::positionOf(std::string_view name) const {
    for (std::size_t i = 0; i < fieldNames_.size(); ++i) {
        if (equalsIgnoringCase(fieldNames_[i], name))
            return static_cast<int>(i);
    }
    return -1;
}

Field Query::field(std::string_view name) const {
    if (!result_)
        throw Error("Field '" + std::string(name) + "' read while the query is closed");
    const int position = positionOf(name);
    if (position < 0)
        throw Error("Field '" + std::string(name) + "' not found");
    if (!row_)
        throw Error("Field '" + std::string(name) + "' read at end of data");
    return Field(fieldNames_[static_cast<std::size_t>(position)], row_[position],
                 lengths_[position]);
}

Field Query::field(int position) const {
    if (!result_)
        throw Error("Field " + std::to_string(position) + " read while the query is closed");
    if (position < 0 || position >= fieldCount())
        throw Error("Field index " + std::to_string(position) + " out of range (" +
                    std::to_string(fieldCount()) + " fields)");
    if (!row_)
        throw Error("Field " + std::to_string(position) + " read at end of data");
    return Field(fieldNames_[static_cast<std::size_t>(position)], row_[position],
                 lengths_[position]);
}

std::uint64_t Query::execSql() {
    close();
    prepareConnection();
    std::unique_ptr<st_mysql_res, ResultFree> result(connection().runStatement(sql_));
    const std::uint64_t affected = mysql_affected_rows(connection().handle());
    return affected == static_cast<std::uint64_t>(-1) ? 0 : affected;
}

// ---- appending ----

void Query::beginAppend(std::string table) {
    cancelAppend();
    close();
    prepareConnection();
    // The column list, in table order, without reading any row.
    const std::string sql = "SELECT * FROM " + quoteIdentifier(table) + " LIMIT 0";
    std::unique_ptr<st_mysql_res, ResultFree> result(connection().runStatement(sql));
    if (!result)
        throw Error("SELECT on " + table + " gave no result set");
    const unsigned int count = mysql_num_fields(result.get());
    const MYSQL_FIELD* fields = mysql_fetch_fields(result.get());
    appendColumns_.clear();
    for (unsigned int i = 0; i < count; ++i)
        appendColumns_.emplace_back(fields[i].name, fields[i].name_length);
    appendValues_.assign(count, std::nullopt);
    appendTable_ = std::move(table);
}

void Query::checkAppendPosition(int position) const {
    if (!appendTable_)
        throw Error("A field was set while no row is being appended");
    if (position < 0 || position >= static_cast<int>(appendColumns_.size()))
        throw Error("Field index " + std::to_string(position) + " out of range (" +
                    std::to_string(appendColumns_.size()) + " fields in " + *appendTable_ + ")");
}

int Query::appendPosition(std::string_view name) const {
    if (!appendTable_)
        throw Error("Field '" + std::string(name) + "' set while no row is being appended");
    for (std::size_t i = 0; i < appendColumns_.size(); ++i) {
        if (equalsIgnoringCase(appendColumns_[i], name))
            return static_cast<int>(i);
    }
    throw Error("Field '" + std::string(name) + "' not found in " + *appendTable_);
}

void Query::setField(int position, std::string_view value) {
    checkAppendPosition(position);
    appendValues_[static_cast<std::size_t>(position)].emplace(std::string(value));
}

void Query::setField(std::string_view name, std::string_view value) {
    setField(appendPosition(name), value);
}

void Query::setFieldNull(int position) {
    checkAppendPosition(position);
    appendValues_[static_cast<std::size_t>(position)].emplace(std::nullopt);
}

void Query::setFieldNull(std::string_view name) {
    setFieldNull(appendPosition(name));
}

void Query::setFieldFromFile(int position, const std::filesystem::path& path) {
    checkAppendPosition(position);
    appendValues_[static_cast<std::size_t>(position)].emplace(readFile(path));
}

void Query::setFieldFromFile(std::string_view name, const std::filesystem::path& path) {
    setFieldFromFile(appendPosition(name), path);
}

std::uint64_t Query::post() {
    if (!appendTable_)
        throw Error("No row is being appended");
    const std::string table = *appendTable_;
    const std::vector<std::string> columns = std::move(appendColumns_);
    const auto values = std::move(appendValues_);
    cancelAppend();

    prepareConnection();
    Connection& connection = this->connection();
    std::string names;
    std::string literals;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (!values[i])
            continue;
        if (!names.empty()) {
            names += ',';
            literals += ',';
        }
        names += quoteIdentifier(columns[i]);
        if (*values[i]) {
            literals += '\'';
            literals += connection.escape(**values[i]);
            literals += '\'';
        } else
            literals += "NULL";
    }
    const std::string sql =
        "INSERT INTO " + quoteIdentifier(table) + " (" + names + ") VALUES (" + literals + ")";
    std::unique_ptr<st_mysql_res, ResultFree> result(connection.runStatement(sql));
    return mysql_insert_id(connection.handle());
}

void Query::cancelAppend() noexcept {
    appendTable_.reset();
    appendColumns_.clear();
    appendValues_.clear();
}

} // namespace db
