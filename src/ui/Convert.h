#pragma once
// Text to number conversion with the toolkit's error text.

#include <string_view>

namespace ui {

/// The decimal integer `text` (blanks around it allowed, sign allowed). Throws
/// std::invalid_argument "'text' is not a valid integer value" otherwise.
int toInteger(std::string_view text);

} // namespace ui
