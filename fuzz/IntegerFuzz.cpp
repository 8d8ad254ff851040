// The integer rules against a plain reading of the same rules.

#include <cstdint>
#include <optional>
#include <string>

#include "core/IntegerText.h"

namespace {

std::optional<std::int32_t> Reference(std::string s) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    std::string digits = s.substr(i);
    int base = 10;
    for (const char* prefix : {"0x", "0X", "$", "x", "X"}) {
        if (digits.rfind(prefix, 0) == 0) {
            digits = digits.substr(std::string(prefix).size());
            base = 16;
            break;
        }
    }
    if (digits.empty() || (base == 16 && digits.size() > 8)) return std::nullopt;
    unsigned long long value = 0;
    for (char c : digits) {
        int d = c >= '0' && c <= '9'   ? c - '0'
                : c >= 'a' && c <= 'f' ? c - 'a' + 10
                : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                       : 99;
        if (d >= base) return std::nullopt;
        value = value * base + d;
        if (base == 10 && value > 2147483648ull) return std::nullopt;
    }
    if (base == 16) {
        std::uint32_t pattern = static_cast<std::uint32_t>(value);
        if (negative) pattern = 0u - pattern;
        return static_cast<std::int32_t>(pattern);
    }
    const long long signedValue =
        negative ? -static_cast<long long>(value) : static_cast<long long>(value);
    if (signedValue > INT32_MAX || signedValue < INT32_MIN) return std::nullopt;
    return static_cast<std::int32_t>(signedValue);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (dorvel::core::ParseInteger(text) != Reference(text)) __builtin_trap();
    return 0;
}
