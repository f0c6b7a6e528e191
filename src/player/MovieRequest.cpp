#include "player/MovieRequest.h"

#include <cmath>
#include <cstdio>

#include "player/Movie.h"

namespace player {

namespace {

constexpr std::string_view kHead = "<invoke name=\"";
constexpr std::string_view kMiddle = "\" returntype=\"xml\"><arguments><string>";
constexpr std::string_view kTail = "</string></arguments></invoke>";

bool nameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

} // namespace

std::string invokeText(std::string_view name, std::string_view argument) {
    std::string text;
    text.reserve(kHead.size() + name.size() + kMiddle.size() + argument.size() + kTail.size());
    text.append(kHead).append(name).append(kMiddle).append(argument).append(kTail);
    return text;
}

MovieRequest parseInvoke(std::string_view text) {
    auto broken = [&](std::string_view why) {
        return MovieError("The player movie cannot read the request \"" + std::string(text) +
                          "\": " + std::string(why) + ".");
    };
    if (!text.starts_with(kHead))
        throw broken("it does not start with <invoke name=\"");
    const std::size_t nameEnd = text.find('"', kHead.size());
    if (nameEnd == std::string_view::npos)
        throw broken("the name has no closing quote");
    const std::string_view name = text.substr(kHead.size(), nameEnd - kHead.size());
    if (name.empty())
        throw broken("the name is empty");
    for (char c : name)
        if (!nameCharacter(c))
            throw broken("the name holds a character that is not a letter, digit or underscore");
    const std::string_view rest = text.substr(nameEnd);
    if (!rest.starts_with(kMiddle))
        throw broken("the arguments do not follow the name as a single string");
    // The argument is not escaped and may hold anything; the fixed tail ends it.
    if (!rest.ends_with(kTail) || rest.size() < kMiddle.size() + kTail.size())
        throw broken("it does not end with </string></arguments></invoke>");
    const std::string_view argument =
        rest.substr(kMiddle.size(), rest.size() - kMiddle.size() - kTail.size());
    return {std::string(name), std::string(argument)};
}

std::string stateReply(std::string_view word) {
    return "<string>+" + std::string(word) + "</string>";
}

std::string secondsReply(double seconds) {
    if (!std::isfinite(seconds) || seconds < 0)
        seconds = 0;
    char digits[64];
    std::snprintf(digits, sizeof digits, "%.3f", seconds);
    std::string text(digits);
    // 12.500 -> 12.5, 3.000 -> 3
    while (text.back() == '0')
        text.pop_back();
    if (text.back() == '.')
        text.pop_back();
    return "<number>" + text + "</number>";
}

std::string nullReply() {
    return "<string>null</string>";
}

std::string voidReply() {
    return "<void/>";
}

} // namespace player
