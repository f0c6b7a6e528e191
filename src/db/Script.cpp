#include "db/Script.h"

#include "db/Connection.h"
#include "db/Error.h"

#include <fstream>
#include <iterator>

namespace db {
namespace {

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

} // namespace

std::vector<std::string> splitScript(std::string_view script) {
    std::vector<std::string> statements;
    std::string current;
    const auto flush = [&] {
        std::string statement = trimmed(current);
        if (!statement.empty())
            statements.push_back(std::move(statement));
        current.clear();
    };
    std::size_t i = 0;
    const std::size_t n = script.size();
    while (i < n) {
        const char c = script[i];
        if (c == '\'' || c == '"' || c == '`') {
            // A quoted string or identifier: copied whole; a doubled quote or (not
            // in identifiers) a backslash escapes the next character.
            current += c;
            ++i;
            while (i < n) {
                const char d = script[i];
                current += d;
                ++i;
                if (d == '\\' && c != '`' && i < n) {
                    current += script[i];
                    ++i;
                } else if (d == c) {
                    if (i < n && script[i] == c) {
                        current += c;
                        ++i;
                    } else {
                        break;
                    }
                }
            }
        } else if (c == '#' || (c == '-' && i + 1 < n && script[i + 1] == '-' &&
                                (i + 2 >= n || script[i + 2] == ' ' || script[i + 2] == '\t' ||
                                 script[i + 2] == '\n' || script[i + 2] == '\r'))) {
            while (i < n && script[i] != '\n')
                ++i;
        } else if (c == '/' && i + 1 < n && script[i + 1] == '*') {
            const auto end = script.find("*/", i + 2);
            i = end == std::string_view::npos ? n : end + 2;
            current += ' ';
        } else if (c == ';') {
            flush();
            ++i;
        } else {
            current += c;
            ++i;
        }
    }
    flush();
    return statements;
}

void runScript(Connection& connection, std::string_view script) {
    for (const std::string& statement : splitScript(script)) {
        try {
            connection.execute(statement);
        } catch (const Error& error) {
            const std::string firstLine = statement.substr(0, statement.find('\n'));
            throw Error(std::string(error.what()) + " (in: " + firstLine + ")", error.number());
        }
    }
}

std::string readScriptFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw Error("cannot read " + path);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

} // namespace db
