#pragma once
// Dates as feeds write them: RFC 822 (RSS 2.0's pubDate, "Wed, 02 Oct 2002
// 13:00:00 GMT", with the 4-digit years of RFC 1123 and the usual liberties) and
// RFC 3339 (Atom's published and updated, "2002-10-02T10:00:00-05:00").
//
// Thread: pure functions; any thread.

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace harvest {

/// Seconds since the epoch (UTC) of an RFC 822 date; nullopt when it is not one.
std::optional<std::time_t> parseRfc822(std::string_view text);
/// Seconds since the epoch (UTC) of an RFC 3339 date-time (a fraction of a second is
/// dropped); nullopt when it is not one.
std::optional<std::time_t> parseRfc3339(std::string_view text);
/// Either form.
std::optional<std::time_t> parseFeedDate(std::string_view text);
/// "YYYY-MM-DD HH:MM:SS" in UTC, as the catalogue's DATETIME columns take it.
std::string formatDateTime(std::time_t when);

} // namespace harvest
