#include "ui/Convert.h"

#include <charconv>
#include <stdexcept>
#include <string>

namespace ui {

int toInteger(std::string_view text) {
    std::string_view t = text;
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t'))
        t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t'))
        t.remove_suffix(1);
    if (!t.empty() && t.front() == '+')
        t.remove_prefix(1);
    int value = 0;
    auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (t.empty() || ec != std::errc() || ptr != t.data() + t.size())
        throw std::invalid_argument("'" + std::string(text) + "' is not a valid integer value");
    return value;
}

} // namespace ui
