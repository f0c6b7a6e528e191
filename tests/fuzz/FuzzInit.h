#pragma once
// What every fuzzing target shares: its inputs as text, and an empty default for
// LLVMFuzzerInitialize, which a target replaces when it needs set-up.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace fuzz {

inline std::string_view text(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

} // namespace fuzz
