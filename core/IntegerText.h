#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace dorvel::core {

// An integer as the settings file and the numbered names write it: leading
// spaces (not tabs), an optional sign, then decimal digits within the 32-bit
// range, or up to eight hexadecimal digits after $, x, X, 0x or 0X taken as a
// 32-bit pattern. Anything else gives nothing.
std::optional<std::int32_t> ParseInteger(std::string_view text);

}  // namespace dorvel::core
