#pragma once
// The search box's request syntax: the `cat:` and `site:` prefixes and the required
// words of the boolean full-text searches. Pure string functions; the results are
// ready to be placed between the quotes of an SQL literal.

#include <string>
#include <string_view>

namespace search {

/// The first word after the first occurrence of `prefix` (case-sensitive) in
/// `text`: of the at most 200 characters that follow the prefix, trimmed of blanks
/// and control characters at both ends, the part before the first blank. Empty when
/// `text` has no such prefix or nothing follows it.
std::string ExtractPrefixValue(std::string_view text, std::string_view prefix);

/// A box text as boolean full-text terms, with its category clauses.
struct BooleanTerms {
    /// Every word of the request required ("+funny +cats"), the `site:` value as a
    /// required phrase (+"bondi"), the prefixes and the category value removed.
    /// Escaped for a single-quoted SQL literal; the phrase's double quotes stay
    /// phrase marks for the full-text engine.
    std::string terms;
    std::string category; ///< the `cat:` value as typed, or empty
    /// " AND (MATCH(rsscat) AGAINST ('+news' IN BOOLEAN MODE))", or empty
    std::string categoryFilter;
    /// " AND (MATCH(rsscat) AGAINST ('+news'))", or empty
    std::string categoryScore;
};

/// The terms of the latest text search and the image and visual searches. The
/// text keeps its case. "cat:" and the category value are cut out wherever they
/// stand (the value also inside other words: "newsreel cat:news" searches "reel"),
/// then "site:"; the site value becomes a phrase. The rest is split into words as
/// fullTextWords does, so operator characters typed by the user never reach the
/// engine and a doubled blank leaves no empty required word.
BooleanTerms BuildBooleanTerms(std::string_view box);

} // namespace search
