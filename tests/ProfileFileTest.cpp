#include <gtest/gtest.h>

#include "platform/formats/ProfileFile.h"

using dorvel::platform::ProfileFile;
using namespace std::string_literals;

TEST(ProfileFileRead, NamesMatchLatinCaseInsensitivelyAndIgnoreBlanks) {
    const ProfileFile f("[ Form1 ]\r\n  TOP \t= 12 \r\n[options]\nletters=a\n");
    EXPECT_EQ(f.value("form1", "Top"), "12");
    EXPECT_EQ(f.value("Options", "Letters"), "a");
    EXPECT_FALSE(f.value("Form1", "Left"));
    EXPECT_FALSE(f.value("Form2", "Top"));
}

TEST(ProfileFileRead, CyrillicNamesMatchExactly) {
    const ProfileFile f("[ListCheck]\nL_A \xC0\xC1=1\n");
    EXPECT_EQ(f.value("ListCheck", "L_A \xC0\xC1"), "1");
    EXPECT_FALSE(f.value("ListCheck", "L_A \xE0\xE1"));  // lower-case Cyrillic
    EXPECT_EQ(f.value("LISTCHECK", "l_a \xC0\xC1"), "1");
}

TEST(ProfileFileRead, FirstSectionAndFirstKeyWin) {
    const ProfileFile f("[S]\nk=1\nK=2\n[s]\nk=3\nonly=4\n");
    EXPECT_EQ(f.value("S", "k"), "1");
    EXPECT_FALSE(f.value("S", "only"));  // the later section of that name is never searched
}

// Reads in the file's order take a shorter way; it must find what the index
// finds: the first of duplicate keys, nothing from a later section of the
// same name, and keys written since.
TEST(ProfileFileRead, ReadingInTheFilesOrderFindsWhatAnyOrderFinds) {
    ProfileFile f("[S]\r\na=1\r\nb=2\r\nB=3\r\n[T]\r\nc=4\r\n[s]\r\nd=5\r\n");
    EXPECT_EQ(f.value("S", "a"), "1");
    EXPECT_EQ(f.value("S", "b"), "2");
    EXPECT_EQ(f.value("S", "B"), "2");
    EXPECT_EQ(f.value("T", "c"), "4");
    EXPECT_FALSE(f.value("S", "d"));
    EXPECT_FALSE(f.value("T", "a"));
    EXPECT_EQ(f.value("S", "a"), "1");
    f.setValue("S", "e", "6");
    f.setValue("S", "a", "7");
    EXPECT_EQ(f.value("S", "a"), "7");
    EXPECT_EQ(f.value("S", "b"), "2");
    EXPECT_EQ(f.value("S", "B"), "2");
    EXPECT_EQ(f.value("S", "e"), "6");
    EXPECT_EQ(f.contents(), "[S]\r\na=7\r\nb=2\r\nB=3\r\ne=6\r\n[T]\r\nc=4\r\n[s]\r\nd=5\r\n");
}

TEST(ProfileFileRead, ValuesLoseBlanksAndOnePairOfQuotes) {
    const ProfileFile f(
        "[S]\na= \"x y\" \nb='q'\nc=\"unpaired\nd=\"\"two\"\"\ne=\t\ng=x=y\n;c=semi\nnokey\n");
    EXPECT_EQ(f.value("S", "a"), "x y");
    EXPECT_EQ(f.value("S", "b"), "q");
    EXPECT_EQ(f.value("S", "c"), "\"unpaired");
    EXPECT_EQ(f.value("S", "d"), "\"two\"");
    EXPECT_EQ(f.value("S", "e"), "");
    EXPECT_EQ(f.value("S", "g"), "x=y");
    EXPECT_EQ(f.value("S", ";c"), "semi");
    EXPECT_FALSE(f.value("S", "nokey"));
}

TEST(ProfileFileRead, KeysBeforeAnySectionAreNeverFound) {
    const ProfileFile f("k=1\n[S]\nj=2\n");
    EXPECT_FALSE(f.value("", "k"));
    EXPECT_EQ(f.value("S", "j"), "2");
}

TEST(ProfileFileWrite, ChangesOnlyItsOwnLineKeepingTheStoredSpelling) {
    ProfileFile f("; comment\n[Form1]\n  TOP = 1\nLeft=2\n\n[Other]\nx=y\n");
    f.setValue("form1", "top", "42");
    EXPECT_EQ(f.contents(), "; comment\n[Form1]\nTOP=42\r\nLeft=2\n\n[Other]\nx=y\n");
}

TEST(ProfileFileWrite, NewKeyGoesAtTheEndOfItsSectionBeforeBlankLines) {
    ProfileFile f("[A]\na=1\n\n[B]\nb=2");
    f.setValue("A", "new", "v");
    f.setValue("B", "c", "3");
    f.setValue("A", "more", "w");
    EXPECT_EQ(f.contents(), "[A]\na=1\nnew=v\r\nmore=w\r\n\n[B]\nb=2\r\nc=3\r\n");
    EXPECT_EQ(f.value("A", "more"), "w");
    f.setValue("A", "NEW", "changed");
    EXPECT_EQ(f.value("a", "new"), "changed");
    EXPECT_EQ(f.contents(), "[A]\na=1\nnew=changed\r\nmore=w\r\n\n[B]\nb=2\r\nc=3\r\n");
}

TEST(ProfileFileWrite, NewSectionGoesAtTheEndWithoutABlankLine) {
    ProfileFile empty;
    empty.setValue("Form1", "Top", "106");
    empty.setValue("Form1", "Left", "197");
    EXPECT_EQ(empty.contents(), "[Form1]\r\nTop=106\r\nLeft=197\r\n");

    ProfileFile unterminated("[A]\na=1");
    unterminated.setValue("B", "b", "2");
    EXPECT_EQ(unterminated.contents(), "[A]\na=1\r\n[B]\r\nb=2\r\n");
}

TEST(ProfileFileWrite, KeyHoldingEqualsIsWrittenButNeverFoundAgain) {
    ProfileFile f;
    f.setValue("ListCheck", "L_A x=y", "1");
    EXPECT_EQ(f.contents(), "[ListCheck]\r\nL_A x=y=1\r\n");
    EXPECT_FALSE(f.value("ListCheck", "L_A x=y"));
    EXPECT_EQ(f.value("ListCheck", "L_A x"), "y=1");
}

TEST(ProfileFileWrite, BinaryAndOddBytesSurviveUntouched) {
    const std::string odd = "\x00\xFF[\r\x1A junk\n[S]\nk=\x01\x02\r\n\xFE\xFD\n"s;
    ProfileFile f(odd);
    EXPECT_EQ(f.contents(), odd);
    f.setValue("S", "k", "v");
    EXPECT_EQ(f.value("S", "k"), "v");
    EXPECT_EQ(f.contents(), "\x00\xFF[\r\x1A junk\n[S]\nk=v\r\n\xFE\xFD\n"s);
}

namespace {

// UTF-16 of UTF-8 text, with the byte-order mark, in either byte order.
std::string Utf16(std::u16string_view text, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : text) {
        const auto high = static_cast<char>(unit >> 8);
        const auto low = static_cast<char>(unit & 0xFF);
        out += bigEndian ? high : low;
        out += bigEndian ? low : high;
    }
    return out;
}

}  // namespace

// As Notepad's "Unicode" and PowerShell 5.1's ">" save it.
TEST(ProfileFileUtf16, IsReadAsWindows1251AndWrittenBackInItsOwnByteOrder) {
    for (const bool bigEndian : {false, true}) {
        const std::u16string text =
            u"[Options]\r\nLetters=C:\\\u041B\u0438\u0441\u0442\u0438\r\n; \u4E2D\u6587 "
            u"\U0001F600\r\n[ListCheck]\r\nL_KIEV \u041A\u0438\u0457\u0432=1\r\nL_LVIV Lviv=0";
        ProfileFile f(Utf16(text, bigEndian));
        EXPECT_EQ(f.value("Options", "Letters"), "C:\\\xCB\xE8\xF1\xF2\xE8");
        EXPECT_EQ(f.value("ListCheck", "L_KIEV \xCA\xE8\xBF\xE2"), "1");
        EXPECT_EQ(f.contents(), Utf16(text, bigEndian)) << "untouched, every byte stays";

        f.setValue("ListCheck", "L_KIEV \xCA\xE8\xBF\xE2", "0");
        f.setValue("ListCheck", "L_ODESA \xCE\xE4\xE5\xF1\xE0", "1");
        f.setValue("Form1", "Top", "12");
        EXPECT_EQ(f.contents(),
                  Utf16(u"[Options]\r\nLetters=C:\\\u041B\u0438\u0441\u0442\u0438\r\n; "
                        u"\u4E2D\u6587 \U0001F600\r\n[ListCheck]\r\nL_KIEV "
                        u"\u041A\u0438\u0457\u0432=0\r\nL_LVIV Lviv=0\r\nL_ODESA "
                        u"\u041E\u0434\u0435\u0441\u0430=1\r\n[Form1]\r\nTop=12\r\n",
                        bigEndian))
            << (bigEndian ? "big-endian" : "little-endian");
    }
}

TEST(ProfileFileUtf16, AnOddLastByteAndALoneSurrogateSurvive) {
    std::string bytes = Utf16(u"[S]\r\nk=1\r\nx=\xD800y", false) + "\x41";
    ProfileFile f(bytes);
    EXPECT_EQ(f.value("S", "x"), "?y");
    EXPECT_EQ(f.contents(), bytes);
    f.setValue("S", "k", "2");
    EXPECT_EQ(f.contents(), Utf16(u"[S]\r\nk=2\r\nx=\xD800y", false) + "\x41");
}
