#pragma once
// The structure of an SQL statement, for checking that user text stays data: the
// contents of every string literal are replaced by "?" and every run of digits
// outside them by "N", so two statements built from different user texts have the
// same skeleton exactly when the texts changed nothing but literal contents (and
// numbers such as a paging offset).
//
// The literals are read as the MariaDB server reads them with a multi-byte
// character set whose characters never contain an ASCII byte (utf8mb4), and
// without NO_BACKSLASH_ESCAPES or ANSI_QUOTES: both ' and " open a literal, a
// backslash takes the next byte with it, and a doubled quote stays inside.
//
// Pure functions, any thread. Also built into the fuzzing targets, so no test
// framework here.

#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

/// The skeleton of `sql`. A literal still open at the end gives the text up to its
/// quote followed by "<open literal>", which no complete statement matches.
std::string sqlSkeleton(std::string_view sql);

/// The contents of every string literal of `sql`, as the text between its quotes
/// (escapes not undone), in order.
std::vector<std::string> sqlLiterals(std::string_view sql);

} // namespace testsupport
