#include "core/DosText.h"

#include <array>
#include <cstdint>

#include "platform/formats/CodePages.h"

namespace dorvel::core {
namespace {

constexpr std::uint8_t FixedByte(std::uint8_t b) {
    switch (b) {
        case 0xA1:
            return 0xB2;
        case 0xA2:
            return 0xB3;
        case 0xBF:
            return 0xBA;
        case 0xAF:
            return 0xAA;
        case 0x95:
            return 0xBF;
        default:
            return b;
    }
}

// Both stages act on each byte alone, so they fold into one table.
const std::array<char, 256>& DosTable() {
    static const std::array<char, 256> table = [] {
        std::array<char, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const auto converted = platform::Cp866ToCp1251(static_cast<std::uint8_t>(b));
            t[b] = static_cast<char>(FixedByte(converted));
        }
        return t;
    }();
    return table;
}

}  // namespace

std::string DosToWindows(std::string_view line) {
    const auto& table = DosTable();
    std::string out(line.size(), '\0');
    const auto* in = reinterpret_cast<const unsigned char*>(line.data());
    char* to = out.data();
    for (std::size_t i = 0, n = line.size(); i < n; ++i) to[i] = table[in[i]];
    return out;
}

void FixUkrainianLetters(std::string& text) {
    for (char& c : text) c = static_cast<char>(FixedByte(static_cast<std::uint8_t>(c)));
}

}  // namespace dorvel::core
