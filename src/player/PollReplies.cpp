#include "player/PollReplies.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace player {

namespace {

// The text after the first `mark` (from the start without one), at most `count`
// characters of it.
std::string_view after(std::string_view text, char mark, std::size_t count) {
    const std::size_t at = text.find(mark);
    const std::size_t start = at == std::string_view::npos ? 0 : at + 1;
    return text.substr(start, count);
}

std::string_view before(std::string_view text, char mark) {
    return text.substr(0, text.find(mark));
}

// General format with up to 15 significant digits: 24, 33.3333320617676, 1E+20.
std::string generalText(double value) {
    if (!std::isfinite(value))
        return "0";
    char digits[64];
    std::snprintf(digits, sizeof digits, "%.15G", value);
    return digits;
}

std::string wholePart(const std::string& text, std::size_t withoutPoint) {
    const std::size_t point = text.find('.');
    return point == std::string::npos ? text.substr(0, withoutPoint) : text.substr(0, point);
}

} // namespace

std::string stateWordOf(std::string_view reply) {
    return std::string(before(after(reply, '+', 100), '<'));
}

std::optional<std::string> statusForWord(std::string_view word) {
    struct Entry {
        std::string_view word, status;
    };
    static constexpr Entry table[] = {
        {"playing", "Playing"},           {"paused", "Paused"},
        {"stopped", "Stopped"},           {"loading", "Loading.."},
        {"buffering", "Buffering.."},     {"connectionError", "Connection Error"},
        {"disconnected", "Disconnected"}, {"seeking", "Seeking"},
        {"rewinding", "Rewinding"}};
    for (const Entry& e : table)
        if (e.word == word)
            return std::string(e.status);
    return std::nullopt;
}

std::string secondsTextOf(std::string_view reply) {
    const std::string_view text = after(reply, '>', 10);
    const std::size_t point = text.find('.');
    return std::string(point != std::string_view::npos ? text.substr(0, point) : before(text, '<'));
}

std::optional<int> toInteger(std::string_view text) {
    if (text.starts_with('+'))
        text.remove_prefix(1);
    if (text.empty() || text == "-")
        return std::nullopt;
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::string percentText(int played, int total) {
    if (total == 0)
        return "0";
    const float percentage = static_cast<float>(played) / static_cast<float>(total) * 100.0f;
    return wholePart(generalText(percentage), 3);
}

std::string elapsedText(int seconds) {
    const int minutes = seconds / 60;
    const int rest = seconds % 60;
    return std::to_string(minutes) + (rest < 10 ? " : 0" : " : ") + std::to_string(rest);
}

std::string seekText(int position, int total) {
    const float seconds = static_cast<float>(position) / 100.0f * static_cast<float>(total);
    if (std::isnan(seconds))
        return "0";
    return wholePart(generalText(seconds), 9);
}

std::string volumeText(int position) {
    return std::to_string(position / 10);
}

} // namespace player
