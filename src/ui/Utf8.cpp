#include "ui/Utf8.h"

namespace ui::utf8 {

namespace {

// Length in bytes of the character starting at text[i]; 1 for a stray byte.
std::size_t charLength(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t n = 1;
    if (lead >= 0xF0 && lead <= 0xF4)
        n = 4;
    else if (lead >= 0xE0)
        n = 3;
    else if (lead >= 0xC2 && lead <= 0xDF)
        n = 2;
    if (n == 1 || i + n > text.size())
        return 1;
    for (std::size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
            return 1;
    return n;
}

} // namespace

std::size_t length(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); i += charLength(text, i))
        ++count;
    return count;
}

std::string mid(std::string_view text, std::size_t start, std::size_t count) {
    std::size_t i = 0;
    for (std::size_t skipped = 0; i < text.size() && skipped < start; ++skipped)
        i += charLength(text, i);
    std::size_t end = i;
    for (std::size_t taken = 0; end < text.size() && taken < count; ++taken)
        end += charLength(text, end);
    return std::string(text.substr(i, end - i));
}

} // namespace ui::utf8
