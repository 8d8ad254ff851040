#include <gtest/gtest.h>

#include "FakePlatform.h"
#include "core/PathRules.h"
#include "core/RecipientList.h"

using namespace dorvel;
using namespace std::string_literals;
using dorvel::fakes::FakePlatform;
using dorvel::fakes::RecordingMessages;

namespace {
// The mail directory by the rules of the system the suite runs on: the
// mail directory always ends in that system's separator.
const std::string kSep(1, core::PathRules::Host().separator());
const std::string kMail = kSep + "mail";
}  // namespace

namespace {

class RecipientListTest : public ::testing::Test {
protected:
    void addressFile(std::string contents) {
        platform.env["ZOVOVOD"] = kMail;
        platform.files[kMail + kSep + "LUSERS.NDE"] = std::move(contents);
    }
    std::vector<std::string> lines() {
        load = core::LoadRecipients(platform, messages);
        std::vector<std::string> out;
        for (const auto& r : load.recipients) out.push_back(r.line);
        return out;
    }
    FakePlatform platform;
    RecordingMessages messages;
    core::RecipientLoad load;
};

using Lines = std::vector<std::string>;

}  // namespace

TEST_F(RecipientListTest, MailDirectoryGetsOneSeparator) {
    EXPECT_EQ(core::MailDirectoryFrom(kMail), kMail + kSep);
    EXPECT_EQ(core::MailDirectoryFrom(kMail + kSep), kMail + kSep);
    addressFile("L_A x\r\n");
    platform.env["ZOVOVOD"] = kMail + kSep;
    EXPECT_EQ(lines(), Lines{"L_A x"});
    EXPECT_EQ(load.mailDirectory, kMail + kSep);
}

TEST_F(RecipientListTest, UnsetOrEmptyVariableFailsWithItsMessage) {
    EXPECT_TRUE(lines().empty());
    EXPECT_FALSE(load.ok);
    platform.env["ZOVOVOD"] = "";
    lines();
    EXPECT_FALSE(load.ok);
    EXPECT_EQ(messages.errors, (Lines{"Установите переменную окружения ZOVOVOD",
                                      "Установите переменную окружения ZOVOVOD"}));
}

TEST_F(RecipientListTest, MissingAddressFileNamesTheFullPath) {
    platform.env["ZOVOVOD"] = kSep + "var" + kSep + "mail box";
    lines();
    EXPECT_FALSE(load.ok);
    EXPECT_EQ(messages.errors,
              Lines{"Не найден файл " + kSep + "var" + kSep + "mail box" + kSep + "LUSERS.NDE"});
}

TEST_F(RecipientListTest, OnlyLinesStartingWithUpperLUnderscoreInFileOrder) {
    addressFile(
        "; comment\r\nl_low x\r\nL_B second\r\nX_L_ no\r\nL_\r\nL\r\n\r\nL_A first\r\nL_B "
        "second\n");
    EXPECT_EQ(lines(), (Lines{"L_B second", "L_", "L_A first", "L_B second"}));
    EXPECT_TRUE(load.ok);
    EXPECT_TRUE(messages.errors.empty());
}

TEST_F(RecipientListTest, LineEndsAndControlBytes) {
    // A lone CR is dropped; Ctrl-Z cuts its line; the last line needs no end.
    addressFile("L_A\rB x\r\nL_C cut\x1Arest skipped\r\nL_D y\r\nL_E last");
    EXPECT_EQ(lines(), (Lines{"L_AB x", "L_C cut", "L_D y", "L_E last"}));
}

TEST_F(RecipientListTest, CtrlZAtTheStartOfALineEndsTheFile) {
    addressFile("L_A x\r\n\x1AL_B y\r\nL_C z\r\n");
    EXPECT_EQ(lines(), Lines{"L_A x"});
}

TEST_F(RecipientListTest, OnlyCarriageReturnsMakeOneLine) {
    addressFile("L_A x\rL_B y\rL_C z\r");
    EXPECT_EQ(lines(), Lines{"L_A xL_B yL_C z"});
}

TEST_F(RecipientListTest, LinesAreConvertedFromDos) {
    addressFile("L_KIEV \x8A\xA8\xF9\xA2\r\n");  // "Київ"
    EXPECT_EQ(lines(), Lines{"L_KIEV \xCA\xE8\xBF\xE2"});
}

TEST_F(RecipientListTest, BinaryInputIsSafeAndKeepsNulBytes) {
    std::string binary = "L_\0A x\n\xFF\xFE\0\0\n"s;
    for (int i = 0; i < 1000; ++i) binary += static_cast<char>((i * 37) & 0xFF);
    addressFile(binary);
    const Lines got = lines();
    ASSERT_GE(got.size(), 1u);
    EXPECT_EQ(got[0], "L_\0A x"s);
    EXPECT_TRUE(load.ok);
}

TEST_F(RecipientListTest, HugeLinesAreReadWhole) {
    const std::string big(50u << 20, 'a');
    addressFile("L_BIG " + big + "\r\n" + big + "\r\nL_NEXT x\r\n");
    const Lines got = lines();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].size(), big.size() + 6);
    EXPECT_EQ(got[1], "L_NEXT x");
}

TEST_F(RecipientListTest, ReadErrorKeepsWhatWasReadAndShowsThePlatformError) {
    addressFile("L_A x\r\nL_B y\r\nL_C z\r\n");
    platform.failingFile = kMail + kSep + "LUSERS.NDE";
    platform.failAfter = 15;
    EXPECT_EQ(lines(), (Lines{"L_A x", "L_B y"}));
    EXPECT_TRUE(load.ok);
    EXPECT_EQ(messages.platformErrors, Lines{"I/O error 30"});
}

TEST(RecipientCode, TextBeforeTheFirstBlank) {
    EXPECT_EQ(core::RecipientCode("L_ABC Some office"), "L_ABC");
    EXPECT_EQ(core::RecipientCode("L_ABC"), "");
    EXPECT_EQ(core::RecipientCode("L_"), "");
    EXPECT_EQ(core::RecipientCode("L_A\tB C"), "L_A\tB");
    EXPECT_EQ(core::RecipientCode("L_A  two"), "L_A");
}

TEST(TickedEntries, KeepListOrder) {
    std::vector<core::Recipient> list{
        {"L_1 a", true}, {"L_2 b", false}, {"L_3 c", true}, {"L_4 d", true}};
    const auto ticked = core::TickedEntries(list);
    ASSERT_EQ(ticked.size(), 3u);
    EXPECT_EQ(ticked[0]->line, "L_1 a");
    EXPECT_EQ(ticked[1]->line, "L_3 c");
    EXPECT_EQ(ticked[2]->line, "L_4 d");
}
