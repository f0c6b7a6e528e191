#pragma once
// The statements of the text library (`videopodcasthistory`): the phrase search,
// the popular and latest searches that page by 100 rows, and the count. Pure
// string functions of the box text, an offset and the stored statement pieces.

#include <array>
#include <string>
#include <string_view>

#include "search/LibrarySearch.h"

namespace search {

/// The four statement pieces of the latest text search, as the global settings
/// table holds them (index 1..4; 0 unused).
using TextSearchPieces = std::array<std::string, 5>;

/// The phrase search's words: the box text's words (fullTextWords), lower-cased,
/// joined by one blank, without operators. Unescaped.
std::string phraseWords(std::string_view box);

/// The phrase search: the words in natural and boolean mode, ordered by relevance,
/// the fixed window "1,249".
std::string PhraseSearchStatement(std::string_view box, const Exclusions& exclusions);

/// The popular text search at `offset`, 100 rows, terms by BuildPlainTerms.
std::string PopularTextStatement(std::string_view box, int offset, const Exclusions& exclusions);

/// The latest text search at `offset`, 100 rows: the stored pieces around the
/// boolean terms and the category filter.
std::string LatestTextStatement(std::string_view box, int offset, const TextSearchPieces& part);

/// The number of rows of the text library, in the column `total_record`.
std::string TextLibraryCountStatement();

} // namespace search
