#include "core/IntegerText.h"

namespace dorvel::core {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<std::int32_t> ParseInteger(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::size_t prefix = 0;
    if (!text.empty() && (text[0] == '$' || text[0] == 'x' || text[0] == 'X')) {
        prefix = 1;
    } else if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        prefix = 2;
    }
    if (prefix > 0) {
        const std::string_view digits = text.substr(prefix);
        if (digits.empty() || digits.size() > 8) return std::nullopt;
        std::uint32_t pattern = 0;
        for (char c : digits) {
            const int d = HexDigit(c);
            if (d < 0) return std::nullopt;
            pattern = (pattern << 4) | static_cast<std::uint32_t>(d);
        }
        if (negative) pattern = 0u - pattern;
        return static_cast<std::int32_t>(pattern);
    }
    if (text.empty()) return std::nullopt;
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > std::int64_t{1} << 31) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

}  // namespace dorvel::core
