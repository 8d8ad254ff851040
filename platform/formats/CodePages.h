#pragma once
// Byte tables for the two code pages the mail transport speaks: the DOS
// code page of its address file and the Windows-1251 of everything else.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace dorvel::platform {

// The Windows OEM-to-ANSI conversion of one CP866 byte, best fit included.
std::uint8_t Cp866ToCp1251(std::uint8_t byte);

// Unicode scalar of one Windows-1251 byte.
char32_t Cp1251ToUnicode(std::uint8_t byte);

// The Windows-1251 byte of a Unicode scalar, or nothing where it has none.
std::optional<std::uint8_t> UnicodeToCp1251(char32_t c);

// Windows-1251 text for display; never fails, every byte has a character.
std::string Cp1251ToUtf8(std::string_view text);

// Windows-1251 form of UTF-8 text, or nothing when the text is not valid
// UTF-8 or holds a character that Windows-1251 lacks.
std::optional<std::string> Utf8ToCp1251(std::string_view text);

}  // namespace dorvel::platform
