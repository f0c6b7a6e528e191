#include "support/SqlSkeleton.h"

namespace testsupport {

namespace {

bool digit(char c) {
    return c >= '0' && c <= '9';
}

// Walks `sql`: `outside` gets each byte outside literals, `literal` each literal's
// contents. Returns false when a literal is still open at the end.
template <class Outside, class Literal>
bool walk(std::string_view sql, Outside&& outside, Literal&& literal) {
    std::size_t i = 0;
    while (i < sql.size()) {
        const char c = sql[i];
        if (c == '`') {
            // A quoted identifier is structure; a doubled backtick stays inside it.
            std::size_t end = i + 1;
            while (end < sql.size()) {
                if (sql[end] == '`' && end + 1 < sql.size() && sql[end + 1] == '`')
                    end += 2;
                else if (sql[end] == '`')
                    break;
                else
                    ++end;
            }
            const std::size_t stop = end < sql.size() ? end + 1 : end;
            for (std::size_t k = i; k < stop; ++k)
                outside(sql[k]);
            i = stop;
            continue;
        }
        if (c != '\'' && c != '"') {
            outside(c);
            ++i;
            continue;
        }
        const std::size_t start = ++i;
        bool closed = false;
        while (i < sql.size()) {
            if (sql[i] == '\\') {
                i += 2;
            } else if (sql[i] == c) {
                if (i + 1 < sql.size() && sql[i + 1] == c) {
                    i += 2;
                } else {
                    closed = true;
                    break;
                }
            } else {
                ++i;
            }
        }
        if (!closed)
            return false;
        literal(c, sql.substr(start, i - start));
        ++i;
    }
    return true;
}

} // namespace

std::string sqlSkeleton(std::string_view sql) {
    std::string out;
    bool inNumber = false;
    const bool complete = walk(
        sql,
        [&](char c) {
            if (digit(c)) {
                if (!inNumber)
                    out += 'N';
                inNumber = true;
                return;
            }
            inNumber = false;
            out += c;
        },
        [&](char quote, std::string_view) {
            inNumber = false;
            out += quote;
            out += '?';
            out += quote;
        });
    if (!complete)
        out += "<open literal>";
    return out;
}

std::vector<std::string> sqlLiterals(std::string_view sql) {
    std::vector<std::string> out;
    walk(
        sql, [](char) {}, [&](char, std::string_view contents) { out.emplace_back(contents); });
    return out;
}

} // namespace testsupport
