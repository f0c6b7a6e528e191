#pragma once
// Text to number conversion with the toolkit's error text, and trimming.

#include <string_view>

namespace ui {

/// The decimal integer `text` (blanks around it allowed, sign allowed). Throws
/// std::invalid_argument "'text' is not a valid integer value" otherwise.
int toInteger(std::string_view text);

/// `text` without the white space (in the C locale's sense) at either end.
std::string_view trimmed(std::string_view text);

} // namespace ui
