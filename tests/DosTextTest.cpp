#include <gtest/gtest.h>

#include "core/DosText.h"
#include "platform/formats/CodePages.h"

using dorvel::core::DosToWindows;
using dorvel::core::FixUkrainianLetters;
namespace pf = dorvel::platform;

TEST(DosText, UkrainianDosLettersBecomeWindowsUkrainianLetters) {
    // Short U, yi and bullet in CP866 are how the transport writes
    // I, i, Ie, ie and yi.
    EXPECT_EQ(DosToWindows("\xF6\xF7\xF4\xF5\xF9"), "\xB2\xB3\xAA\xBA\xBF");
}

TEST(DosText, RussianLettersConvertByTheTable) {
    // "Привет Ёё" in CP866.
    EXPECT_EQ(DosToWindows("\x8F\xE0\xA8\xA2\xA5\xE2 \xF0\xF1"),
              "\xCF\xF0\xE8\xE2\xE5\xF2 \xA8\xB8");
}

TEST(DosText, FixUpVisitsEachByteOnce) {
    std::string text = "\x95\xBF";
    FixUkrainianLetters(text);
    EXPECT_EQ(text, "\xBF\xBA");
    std::string all = "\xA1\xA2\xBF\xAF\x95-x";
    FixUkrainianLetters(all);
    EXPECT_EQ(all, "\xB2\xB3\xBA\xAA\xBF-x");
}

TEST(DosText, AsciiAndEmptyLinesPassUnchanged) {
    EXPECT_EQ(DosToWindows(""), "");
    const std::string ascii = "L_ABC Some office 123 ;=[]";
    EXPECT_EQ(DosToWindows(ascii), ascii);
}

TEST(DosText, EveryByteKeepsItsPlace) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    const std::string out = DosToWindows(all);
    ASSERT_EQ(out.size(), 256u);
    EXPECT_EQ(out.substr(0, 128), all.substr(0, 128));
    // Box drawing takes the nearest character, as the Windows conversion does.
    EXPECT_EQ(out[0xC4], '-');
    EXPECT_EQ(out[0xCD], '=');
    EXPECT_EQ(out[0xB3], '\xA6');
}

TEST(CodePages, Cp1251DecodesForDisplay) {
    EXPECT_EQ(pf::Cp1251ToUtf8("\xCF\xF0\xE8 \xB2\xB3\xAA\xBA\xBF"), "При ІіЄєї");
    EXPECT_EQ(pf::Cp1251ToUtf8("\x88\xB9"), "€№");
}

TEST(CodePages, Cp1251RoundTripsEveryByte) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(pf::Utf8ToCp1251(pf::Cp1251ToUtf8(all)), all);
}

TEST(CodePages, Utf8WithoutWindows1251FormIsRefused) {
    EXPECT_EQ(pf::Utf8ToCp1251("/home/Звіт"), std::optional<std::string>("/home/\xC7\xE2\xB3\xF2"));
    EXPECT_FALSE(pf::Utf8ToCp1251("/tmp/日本"));
    EXPECT_FALSE(pf::Utf8ToCp1251("/tmp/\xFF\xFE"));
    EXPECT_FALSE(pf::Utf8ToCp1251("/tmp/\xD0"));  // cut short
    EXPECT_FALSE(pf::Utf8ToCp1251("\xC0\xAF"));   // overlong slash
}
