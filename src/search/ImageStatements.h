#pragma once
// The statements of the image library (`videosnap`) that the search box starts:
// the image search from the stored statement pieces, the built-in visual search,
// and the picture lookup of a media link. The two searches return a statement base
// that ends just before its window; the first page appends "0, 8", later pages
// " " + offset + ", 8". Pure string functions.

#include <array>
#include <string>
#include <string_view>

#include "search/LibrarySearch.h"

namespace search {

/// The eight statement pieces of the image search, as the global settings table
/// holds them (index 1..8; 0 unused).
using ImageSearchPieces = std::array<std::string, 9>;

/// The window of the first page of an image or visual search.
inline constexpr std::string_view kFirstImagePage = "0, 8";

/// The image search base: newest first (`mostRecent`) or by relevance.
std::string ImageSearchBase(std::string_view box, bool mostRecent, const ImageSearchPieces& part);

/// The visual search base, built in: newest first (`mostRecent`) or by relevance.
std::string VisualSearchBase(std::string_view box, bool mostRecent, const Exclusions& exclusions);

/// The first image-library row whose media link is `mediaLink`.
std::string PictureLookupStatement(std::string_view mediaLink);

} // namespace search
