#pragma once
// The library search of the image library: the statement the Newest Videos page
// runs for a search-box request, kept in three pieces so that paging rebuilds only
// the tail with a new offset and ordering. Pure string functions.

#include <string>
#include <string_view>

namespace search {

/// The two values every catalogue search excludes, as SQL string literals.
struct Exclusions {
    std::string playerUrl; ///< `excludedPlayerUrl`
    std::string host;      ///< `excludedHost`
};

/// The box text as full-text terms: its words (fullTextWords: split at blanks,
/// control and operator characters, which are dropped, empty words gone),
/// lower-cased, each required with a "+", enclosed in double quotes. The inner text
/// is escaped for the double-quoted literal it goes into. A box without words gives
/// the empty literal, which matches nothing.
std::string BuildPlainTerms(std::string_view box);
/// The same terms unquoted and unescaped, as a caption shows them: "+funny +cats".
std::string plainTermsText(std::string_view box);

struct LibrarySearch {
    std::string head;
    std::string middle;
    std::string tail;
    std::string statement() const { return head + middle + tail; }
};

/// Head and middle from the box text, tail for `popular` (score order) or recent
/// (recnum order) at row offset `offsetText` (decimal text).
LibrarySearch BuildLibrarySearch(std::string_view box, bool popular, std::string_view offsetText,
                                 const Exclusions& exclusions);
/// The tail alone, for paging within the results.
std::string BuildLibraryTail(bool popular, std::string_view offsetText,
                             const Exclusions& exclusions);

} // namespace search
