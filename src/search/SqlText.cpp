#include "search/SqlText.h"

namespace search {

std::string escapeLiteral(std::string_view text, char quote) {
    (void)quote; // both quote kinds are escaped, so the result fits either literal
    std::string out;
    out.reserve(text.size() + 8);
    for (char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\'':
            out += "\\'";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\0':
            out += "\\0";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string escapeLikeText(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\\\\\\\"; // the literal reads two, LIKE reads one
        else
            out += escapeLiteral(std::string_view(&c, 1), '"');
    }
    return out;
}

} // namespace search
