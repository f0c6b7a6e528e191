#pragma once
// SQL script files (several statements separated by semicolons, with comments),
// as the install tools and the test fixtures run them.
//
// Threads: splitScript is pure; runScript runs on the connection's thread.

#include <string>
#include <string_view>
#include <vector>

namespace db {

class Connection;

/// The statements of `script`, without their terminating semicolons, comments
/// (`-- `, `#`, `/* */`) and surrounding blanks; empty statements are dropped.
/// Semicolons inside quoted strings and identifiers do not split.
std::vector<std::string> splitScript(std::string_view script);

/// Runs every statement of `script` in order on `connection`. Throws db::Error
/// from the first statement that fails, with the statement's first line added.
void runScript(Connection& connection, std::string_view script);
/// The text of an SQL script file. Throws db::Error naming the file when it
/// cannot be read.
std::string readScriptFile(const std::string& path);

} // namespace db
