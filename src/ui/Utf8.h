#pragma once
// Character-based cuts of UTF-8 text. "The first N characters" of a text counts
// characters, never bytes, and never splits one; malformed bytes count as one
// character each so that no input can make a cut run past the text.

#include <string>
#include <string_view>

namespace ui::utf8 {

/// Number of characters in `text`.
std::size_t length(std::string_view text);
/// Characters [start, start + count) of `text` (0-based); shorter or empty when the
/// text ends first.
std::string mid(std::string_view text, std::size_t start, std::size_t count);
/// The first `count` characters.
inline std::string left(std::string_view text, std::size_t count) {
    return mid(text, 0, count);
}

} // namespace ui::utf8
