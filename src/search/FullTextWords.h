#pragma once
// The words of a user's search request as the catalogue's full-text engine is to
// read them. In boolean mode the engine reads + - < > ( ) ~ * " @ as operators,
// and a stray one (a leading "-", a lone "+", an open "(") is a syntax error for
// InnoDB's parser and a changed meaning for MyISAM's. A user's request searches
// for its words, so these characters never reach the engine from the user's text;
// only the statement builders add operators. Pure string functions.

#include <string>
#include <string_view>
#include <vector>

namespace search {

/// The words of `text`: split at blanks and control characters and at every
/// operator character, which is dropped. A word left empty disappears, so "  -a--b"
/// gives {"a", "b"} and "-" gives none. Other characters, quotes and backslashes
/// among them, stay as typed (the caller escapes them for its literal); case too.
/// An operator separates words rather than joining their halves because the index
/// splits "spider-man" into "spider" and "man" as well.
std::vector<std::string> fullTextWords(std::string_view text);

/// Every word required: "+a +b"; empty for no words.
std::string requiredWords(const std::vector<std::string>& words);

/// The words of `text` as one required phrase, +"a b" (a `site:` value is searched
/// this way); empty when `text` has no words.
std::string requiredPhrase(std::string_view text);

} // namespace search
