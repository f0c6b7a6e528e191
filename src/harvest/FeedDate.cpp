#include "harvest/FeedDate.h"

#include <array>
#include <cctype>
#include <cstdint>

#include "ui/Convert.h"

namespace harvest {

namespace {

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// Days since 1970-01-01 of a proleptic Gregorian date (Howard Hinnant's algorithm),
// so no time zone of the process takes part.
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

bool leapYear(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m) {
    static constexpr std::array<int, 12> days = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && leapYear(y) ? 29 : days[static_cast<std::size_t>(m - 1)];
}

std::optional<std::time_t> compose(int year, int month, int day, int hour, int minute, int second,
                                   int offsetMinutes) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > daysInMonth(year, month) || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
        second < 0 || second > 60)
        return std::nullopt;
    if (second == 60) // a leap second counts as the next minute's start
        second = 59;
    const std::int64_t seconds =
        daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * 86400 +
        hour * 3600 + minute * 60 + second - offsetMinutes * 60;
    return static_cast<std::time_t>(seconds);
}

// Reads a run of digits (at most `maxDigits`) at `pos`; false when there is none.
bool readNumber(std::string_view text, std::size_t& pos, int& value, std::size_t minDigits,
                std::size_t maxDigits) {
    std::size_t digits = 0;
    value = 0;
    while (pos < text.size() && digits < maxDigits &&
           std::isdigit(static_cast<unsigned char>(text[pos]))) {
        value = value * 10 + (text[pos] - '0');
        ++pos;
        ++digits;
    }
    return digits >= minDigits;
}

void skipBlanks(std::string_view text, std::size_t& pos) {
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\r' ||
                                 text[pos] == '\n' || text[pos] == ','))
        ++pos;
}

std::string_view readWord(std::string_view text, std::size_t& pos) {
    const std::size_t start = pos;
    while (pos < text.size() && std::isalpha(static_cast<unsigned char>(text[pos])))
        ++pos;
    return text.substr(start, pos - start);
}

} // namespace

std::optional<std::time_t> parseRfc822(std::string_view input) {
    static constexpr std::array<std::string_view, 12> months = {
        "jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"};
    static constexpr std::array<std::string_view, 7> weekdays = {"mon", "tue", "wed", "thu",
                                                                 "fri", "sat", "sun"};
    const std::string_view text = ui::trimmed(input);
    std::size_t pos = 0;
    skipBlanks(text, pos);
    // An optional day name ("Wed," or "Wednesday,"), which is not checked against the date.
    if (pos < text.size() && std::isalpha(static_cast<unsigned char>(text[pos]))) {
        const std::string_view day = readWord(text, pos);
        bool known = false;
        for (std::string_view name : weekdays)
            known = known || (day.size() >= 3 && equalsNoCase(day.substr(0, 3), name));
        if (!known)
            return std::nullopt;
        skipBlanks(text, pos);
    }
    int day = 0;
    if (!readNumber(text, pos, day, 1, 2))
        return std::nullopt;
    skipBlanks(text, pos);
    const std::string_view monthName = readWord(text, pos);
    int month = 0;
    for (std::size_t i = 0; i < months.size(); ++i)
        if (monthName.size() >= 3 && equalsNoCase(monthName.substr(0, 3), months[i]))
            month = static_cast<int>(i) + 1;
    if (month == 0)
        return std::nullopt;
    skipBlanks(text, pos);
    int year = 0;
    const std::size_t yearStart = pos;
    if (!readNumber(text, pos, year, 2, 4))
        return std::nullopt;
    if (pos - yearStart == 2) // RFC 822's two-digit years
        year += year < 50 ? 2000 : 1900;
    else if (pos - yearStart != 4)
        return std::nullopt;
    skipBlanks(text, pos);
    int hour = 0, minute = 0, second = 0;
    if (!readNumber(text, pos, hour, 1, 2) || pos >= text.size() || text[pos] != ':')
        return std::nullopt;
    ++pos;
    if (!readNumber(text, pos, minute, 2, 2))
        return std::nullopt;
    if (pos < text.size() && text[pos] == ':') {
        ++pos;
        if (!readNumber(text, pos, second, 2, 2))
            return std::nullopt;
    }
    skipBlanks(text, pos);
    int offset = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        const int sign = text[pos] == '-' ? -1 : 1;
        ++pos;
        int hhmm = 0;
        const std::size_t start = pos;
        if (!readNumber(text, pos, hhmm, 4, 4) || pos - start != 4)
            return std::nullopt;
        if (hhmm % 100 > 59)
            return std::nullopt;
        offset = sign * (hhmm / 100 * 60 + hhmm % 100);
    } else if (pos < text.size()) {
        const std::string_view zone = readWord(text, pos);
        struct Zone {
            std::string_view name;
            int minutes;
        };
        static constexpr std::array<Zone, 12> zones = {{{"UT", 0},
                                                        {"UTC", 0},
                                                        {"GMT", 0},
                                                        {"Z", 0},
                                                        {"EST", -300},
                                                        {"EDT", -240},
                                                        {"CST", -360},
                                                        {"CDT", -300},
                                                        {"MST", -420},
                                                        {"MDT", -360},
                                                        {"PST", -480},
                                                        {"PDT", -420}}};
        bool known = false;
        for (const Zone& z : zones)
            if (equalsNoCase(zone, z.name)) {
                offset = z.minutes;
                known = true;
            }
        // Military single letters and unknown names other than "Z" mean an unknown
        // offset, which RFC 1123 says to read as UTC.
        if (!known && zone.size() != 1)
            return std::nullopt;
    }
    skipBlanks(text, pos);
    if (pos != text.size())
        return std::nullopt;
    return compose(year, month, day, hour, minute, second, offset);
}

std::optional<std::time_t> parseRfc3339(std::string_view input) {
    const std::string_view text = ui::trimmed(input);
    std::size_t pos = 0;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    const auto expect = [&](char c) {
        if (pos < text.size() && text[pos] == c) {
            ++pos;
            return true;
        }
        return false;
    };
    const auto exactly = [&](int& value, std::size_t digits) {
        const std::size_t start = pos;
        return readNumber(text, pos, value, digits, digits) && pos - start == digits;
    };
    if (!exactly(year, 4) || !expect('-') || !exactly(month, 2) || !expect('-') || !exactly(day, 2))
        return std::nullopt;
    if (pos >= text.size() || (text[pos] != 'T' && text[pos] != 't' && text[pos] != ' '))
        return std::nullopt;
    ++pos;
    if (!exactly(hour, 2) || !expect(':') || !exactly(minute, 2) || !expect(':') ||
        !exactly(second, 2))
        return std::nullopt;
    if (expect('.')) {
        std::size_t digits = 0;
        while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
            ++pos;
            ++digits;
        }
        if (digits == 0)
            return std::nullopt;
    }
    int offset = 0;
    if (expect('Z') || expect('z')) {
        offset = 0;
    } else if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        const int sign = text[pos] == '-' ? -1 : 1;
        ++pos;
        int hh = 0, mm = 0;
        if (!exactly(hh, 2) || !expect(':') || !exactly(mm, 2) || hh > 23 || mm > 59)
            return std::nullopt;
        offset = sign * (hh * 60 + mm);
    } else {
        return std::nullopt;
    }
    if (pos != text.size())
        return std::nullopt;
    return compose(year, month, day, hour, minute, second, offset);
}

std::optional<std::time_t> parseFeedDate(std::string_view text) {
    if (auto when = parseRfc3339(text))
        return when;
    return parseRfc822(text);
}

std::string formatDateTime(std::time_t when) {
    std::tm parts{};
    gmtime_r(&when, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
    return text;
}

} // namespace harvest
