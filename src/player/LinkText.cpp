#include "player/LinkText.h"

namespace player::linktext {

namespace {

bool isContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Byte offset where the `index`-th character (0-based) starts; text.size() when
// the text has fewer characters.
std::size_t byteOfChar(std::string_view text, std::size_t index) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isContinuation(static_cast<unsigned char>(text[i])))
            continue;
        if (chars == index)
            return i;
        ++chars;
    }
    return text.size();
}

std::size_t charsBefore(std::string_view text, std::size_t byte) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < byte && i < text.size(); ++i)
        if (!isContinuation(static_cast<unsigned char>(text[i])))
            ++chars;
    return chars;
}

} // namespace

std::size_t position(std::string_view text, std::string_view needle) {
    const auto at = text.find(needle);
    if (at == std::string_view::npos)
        return 0;
    return charsBefore(text, at) + 1;
}

bool contains(std::string_view text, std::string_view needle) {
    return text.find(needle) != std::string_view::npos;
}

std::string copy(std::string_view text, long long start, long long count) {
    if (count <= 0)
        return {};
    if (start < 1)
        start = 1;
    const std::size_t from = byteOfChar(text, static_cast<std::size_t>(start - 1));
    const std::string_view rest = text.substr(from);
    const std::size_t to = byteOfChar(rest, static_cast<std::size_t>(count));
    return std::string(rest.substr(0, to));
}

std::string before(std::string_view text, std::string_view needle) {
    const auto at = text.find(needle);
    return std::string(at == std::string_view::npos ? std::string_view() : text.substr(0, at));
}

std::string after(std::string_view text, std::string_view needle) {
    const auto start =
        static_cast<long long>(position(text, needle) + charsBefore(needle, needle.size()));
    return copy(text, start, static_cast<long long>(text.size()));
}

std::string fromFirst(std::string_view text, std::string_view needle) {
    const auto at = text.find(needle);
    return std::string(at == std::string_view::npos ? text : text.substr(at));
}

std::string removeAll(std::string_view text, std::string_view piece) {
    if (piece.empty())
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    std::size_t from = 0;
    for (auto at = text.find(piece); at != std::string_view::npos; at = text.find(piece, from)) {
        out.append(text.substr(from, at - from));
        from = at + piece.size();
    }
    out.append(text.substr(from));
    return out;
}

std::string withoutPortEighty(std::string_view link) {
    constexpr std::string_view port = ":80";
    std::string out;
    out.reserve(link.size());
    std::size_t from = 0;
    for (auto at = link.find(port); at != std::string_view::npos; at = link.find(port, at + 1)) {
        const std::size_t end = at + port.size();
        const bool whole =
            end == link.size() || link[end] == '/' || link[end] == '?' || link[end] == '#';
        if (!whole)
            continue;
        out.append(link.substr(from, at - from));
        from = end;
    }
    out.append(link.substr(from));
    return out;
}

std::string mmsToHttp(std::string_view link) {
    if (!contains(link, "mms:"))
        return std::string(link);
    return "http" + copy(link, 4, static_cast<long long>(link.size()));
}

std::string withStreamSuffix(std::string_view link, std::string_view ifilmMarker) {
    std::string out(link);
    if (!ifilmMarker.empty() && contains(link, ifilmMarker))
        out += "=.asf";
    else if (contains(link, "?"))
        out += "&MSWMExt=.asf";
    else
        out += "?MSWMExt=.asf";
    return out;
}

std::string openableAddress(std::string_view link) {
    if (link.substr(0, 5) != "file:")
        return std::string(link);
    for (const std::string_view suffix : {"?MSWMExt=.asf", "&MSWMExt=.asf"})
        if (link.size() >= suffix.size() && link.substr(link.size() - suffix.size()) == suffix)
            return std::string(link.substr(0, link.size() - suffix.size()));
    return std::string(link);
}

std::string encodeQueryValue(std::string_view value) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(value.size());
    for (const char ch : value) {
        const auto c = static_cast<unsigned char>(ch);
        const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                                (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' ||
                                c == '~';
        if (unreserved) {
            out += ch;
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 0x0F];
        }
    }
    return out;
}

} // namespace player::linktext
