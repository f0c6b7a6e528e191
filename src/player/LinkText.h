#pragma once
// The text rules the link resolver rewrites links with. Positions and counts are
// in characters (UTF-8 code points), never bytes, and a copy never splits a
// character. Searches are case-sensitive.
//
// Thread: any thread; pure functions. Only std::bad_alloc may escape.

#include <cstddef>
#include <string>
#include <string_view>

namespace player::linktext {

/// 1-based character position of the first `needle` in `text`; 0 when absent (an
/// empty needle is found at 1).
std::size_t position(std::string_view text, std::string_view needle);

/// Whether `text` contains `needle`.
bool contains(std::string_view text, std::string_view needle);

/// `count` characters of `text` from the 1-based character `start`. A start below 1
/// counts as 1, a count past the end stops at the end, a negative count (and a
/// start past the end) gives empty text.
std::string copy(std::string_view text, long long start, long long count);

/// The characters of `text` before the first `needle`; empty when absent (a copy
/// of position - 1 characters).
std::string before(std::string_view text, std::string_view needle);

/// The characters of `text` after the first `needle`. When absent the copy starts
/// at character 0 + the needle's length, as the clamped copy gives.
std::string after(std::string_view text, std::string_view needle);

/// `text` from its first `needle` to the end; the whole text when absent (the copy
/// from position 0 clamps to the start).
std::string fromFirst(std::string_view text, std::string_view needle);

/// `text` with every occurrence of `piece` removed, left to right, in one pass.
std::string removeAll(std::string_view text, std::string_view piece);

/// `link` without the port ":80" wherever it is the whole port: a ":80" followed
/// by "/", "?", "#" or the end of the text is removed, so "h:80/a" becomes "h/a"
/// while "h:8080/a" and "h:8090/a" keep their ports.
std::string withoutPortEighty(std::string_view link);

/// An mms: link as an http link: when `link` contains "mms:", its first three
/// characters become "http".
std::string mmsToHttp(std::string_view link);

/// The suffix that makes the player take the link as a stream: "=.asf" for a link
/// carrying `ifilmMarker`, otherwise "&MSWMExt=.asf" when it has a query and
/// "?MSWMExt=.asf" when it has none.
std::string withStreamSuffix(std::string_view link, std::string_view ifilmMarker);

/// The address the media player opens for `link`: a file: link loses the stream
/// suffix ("?MSWMExt=.asf" or "&MSWMExt=.asf" at its end), which names no file;
/// other links are opened as they are (a web server ignores or uses the query).
std::string openableAddress(std::string_view link);

/// `value` as a URL query value: unreserved characters stay, every other byte
/// becomes %XX (upper-case hex), so blanks, '&', '=' and '#' cannot end the value.
std::string encodeQueryValue(std::string_view value);

} // namespace player::linktext
