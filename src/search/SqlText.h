#pragma once
// Placing user text into SQL string literals. Every value that goes between quotes
// is escaped for that quote kind, so a quote or backslash typed by the user stays
// part of the value instead of ending the literal.

#include <string>
#include <string_view>

namespace search {

/// `text` escaped for a literal enclosed in `quote` (either ' or "): backslashes,
/// both quote kinds and NUL bytes get a backslash, as the MySQL server reads them.
std::string escapeLiteral(std::string_view text, char quote);

/// `text` for a LIKE pattern inside a quoted literal: escaped as escapeLiteral
/// does, with a backslash doubled once more so it matches itself in the pattern.
/// The wildcards % and _ keep their meaning.
std::string escapeLikeText(std::string_view text);

} // namespace search
