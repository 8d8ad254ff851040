#include <gtest/gtest.h>

#include "FakePlatform.h"
#include "core/PathRules.h"
#include "core/SettingsFile.h"

using namespace dorvel;
using core::SettingsFile;
using core::SettingsRecord;
using dorvel::fakes::FakePlatform;

namespace {

constexpr const char* kIni = "./dorvel.ini";

SettingsRecord Defaults() {
    SettingsRecord d;
    d.moveDir = "/home/operator/letters_save";
    return d;
}

}  // namespace

TEST(SettingsFile, NoFileGivesEveryDefault) {
    FakePlatform platform;
    const SettingsRecord r = SettingsFile(platform).ReadSettings(Defaults());
    EXPECT_EQ(r.left, 197);
    EXPECT_EQ(r.top, 106);
    EXPECT_EQ(r.width, 870);
    EXPECT_EQ(r.height, 666);
    EXPECT_EQ(r.windowState, 0);
    EXPECT_EQ(r.panel1, 185);
    EXPECT_EQ(r.letters, "rfDesktop");
    EXPECT_FALSE(r.postMove);
    EXPECT_EQ(r.moveDir, "/home/operator/letters_save");
    EXPECT_EQ(core::DefaultMoveDir(platform),
              core::PathRules::Host().defaultDeletedFilesFolder("/home/operator"));
}

TEST(SettingsFile, ValueFormsAndBadValuesFallBackPerKey) {
    FakePlatform platform;
    platform.files[kIni] =
        "[Form1]\r\nTop=$10\r\nLeft=abc\r\nHeight=99999999999\r\nWidth= -5\r\nWindowState=2\r\n"
        "Panel1=0x20\r\n[Options]\r\nPostMove=5\r\nMoveDir=D:\\DEL\r\nLetters=\r\n";
    const SettingsRecord r = SettingsFile(platform).ReadSettings(Defaults());
    EXPECT_EQ(r.top, 16);
    EXPECT_EQ(r.left, 197);
    EXPECT_EQ(r.height, 666);
    EXPECT_EQ(r.width, -5);
    EXPECT_EQ(r.windowState, 2);
    EXPECT_EQ(r.panel1, 32);
    EXPECT_TRUE(r.postMove);
    EXPECT_EQ(r.moveDir, "D:\\DEL");
    EXPECT_EQ(r.letters, "");
}

TEST(SettingsFile, WritesInOrderAndBooleansAsOneOrZero) {
    FakePlatform platform;
    SettingsFile file(platform);
    SettingsRecord r = Defaults();
    r.postMove = true;
    r.letters = "/srv/letters";
    file.WriteSettings(r, false);
    file.WriteTick("L_B b", true);
    file.WriteTick("L_A a", false);
    file.Save();
    EXPECT_EQ(platform.files[kIni],
              "[Form1]\r\nPanel1=185\r\nWindowState=0\r\nTop=106\r\nLeft=197\r\nHeight=666\r\n"
              "Width=870\r\n[Options]\r\nLetters=/srv/letters\r\n"
              "MoveDir=/home/operator/letters_save\r\nPostMove=1\r\n"
              "[ListCheck]\r\nL_B b=1\r\nL_A a=0\r\n");
}

TEST(SettingsFile, ClosingMaximisedKeepsTheOlderGeometry) {
    FakePlatform platform;
    platform.files[kIni] = "[Form1]\r\nTop=1\r\nLeft=2\r\nHeight=300\r\nWidth=400\r\n";
    SettingsFile file(platform);
    SettingsRecord r = Defaults();
    r.windowState = 2;
    r.top = 0;
    r.width = 1920;
    file.WriteSettings(r, true);
    file.Save();
    const SettingsRecord back = SettingsFile(platform).ReadSettings(Defaults());
    EXPECT_EQ(back.windowState, 2);
    EXPECT_EQ(back.top, 1);
    EXPECT_EQ(back.left, 2);
    EXPECT_EQ(back.height, 300);
    EXPECT_EQ(back.width, 400);
}

TEST(SettingsFile, TicksRoundTripAndTheLaterDuplicateWins) {
    FakePlatform platform;
    {
        SettingsFile file(platform);
        file.WriteTick("L_A \xCA\xE8\xBF\xE2", true);
        file.WriteTick("L_B x", true);
        file.WriteTick("L_B x", false);
        file.Save();
    }
    const SettingsFile file(platform);
    EXPECT_TRUE(file.ReadTick("L_A \xCA\xE8\xBF\xE2"));
    EXPECT_FALSE(file.ReadTick("L_B x"));
    EXPECT_FALSE(file.ReadTick("L_unknown"));
}

TEST(SettingsFile, PostMoveOfFiveIsWrittenBackAsOne) {
    FakePlatform platform;
    platform.files[kIni] = "[Options]\r\nPostMove=5\r\n";
    SettingsFile file(platform);
    file.WriteSettings(file.ReadSettings(Defaults()), false);
    file.Save();
    EXPECT_NE(platform.files[kIni].find("PostMove=1\r\n"), std::string::npos);
    EXPECT_EQ(platform.files[kIni].find("PostMove=5"), std::string::npos);
}

TEST(SettingsFile, RefusedWriteRaisesAndKeepsTheOldFile) {
    FakePlatform platform;
    platform.files[kIni] = "[Options]\r\nPostMove=1\r\n";
    platform.refuseWrites = true;
    SettingsFile file(platform);
    file.WriteSettings(Defaults(), false);
    try {
        file.Save();
        FAIL() << "the refused write was reported as success";
    } catch (const core::PlatformError& e) {
        EXPECT_STREQ(e.what(), "Unable to write to .\\dorvel.ini");
    }
    EXPECT_EQ(platform.files[kIni], "[Options]\r\nPostMove=1\r\n");
}

TEST(SettingsFile, LongValuesAreCutAt2047Characters) {
    FakePlatform platform;
    platform.files[kIni] = "[Options]\r\nMoveDir=" + std::string(1 << 20, 'd') + "\r\n";
    EXPECT_EQ(SettingsFile(platform).ReadSettings(Defaults()).moveDir, std::string(2047, 'd'));
}

TEST(SettingsFile, EveryPathSurvivesARestartUnchanged) {
    for (const std::string& path : std::vector<std::string>{
             "/home/op/Листи", "/tmp/日本語", "/tmp/\xFF\xFEnot-utf8", " /lead", "/trail\t",
             "\"q\"", "/new\nline", "=?UTF-8?B?AAAA?=", "", "rfDesktop",
             "C:", "/" + std::string(1500, 'j') + "/日本"}) {
        FakePlatform platform;
        SettingsFile file(platform);
        SettingsRecord r = Defaults();
        r.letters = path;
        r.moveDir = path;
        file.WriteSettings(r, false);
        file.Save();
        const SettingsRecord back = SettingsFile(platform).ReadSettings(Defaults());
        EXPECT_EQ(back.letters, path);
        EXPECT_EQ(back.moveDir, path);
    }
}

TEST(SettingsFile, OverlongPlainPathsAreCutLikeAnyValue) {
    FakePlatform platform;
    SettingsFile file(platform);
    SettingsRecord r = Defaults();
    r.moveDir = std::string(3000, 'p');
    file.WriteSettings(r, false);
    file.Save();
    EXPECT_EQ(SettingsFile(platform).ReadSettings(Defaults()).moveDir, std::string(2047, 'p'));
}

TEST(SettingsFile, PathsAreStoredInWindows1251WhereTheyFit) {
    EXPECT_EQ(core::EncodePathValue("/home/Листи"), "/home/\xCB\xE8\xF1\xF2\xE8");
    EXPECT_EQ(core::DecodePathValue("/home/\xCB\xE8\xF1\xF2\xE8"), "/home/Листи");
    EXPECT_EQ(core::EncodePathValue("/tmp/日"), "=?UTF-8?B?L3RtcC/ml6U=?=");
}

TEST(SettingsFile, BinaryFileReadsAsDefaultsAndLosesNoByteOnWrite) {
    FakePlatform platform;
    std::string garbage;
    for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 131 + 7) & 0xFF);
    garbage += "\n";
    platform.files[kIni] = garbage;
    SettingsFile file(platform);
    const SettingsRecord r = file.ReadSettings(Defaults());
    EXPECT_EQ(r.left, 197);
    EXPECT_EQ(r.moveDir, "/home/operator/letters_save");
    file.WriteSettings(r, false);
    file.WriteTick("L_A x", true);
    file.Save();
    const std::string& written = platform.files[kIni];
    EXPECT_EQ(written.substr(0, garbage.size()), garbage);
    EXPECT_TRUE(SettingsFile(platform).ReadTick("L_A x"));
}

TEST(SettingsFile, AnEditorsByteOrderMarkIsReadThroughAndKept) {
    FakePlatform platform;
    platform.files[kIni] = "\xEF\xBB\xBF[Form1]\r\nTop=50\r\nLeft=60\r\n";
    SettingsFile file(platform);
    SettingsRecord r = file.ReadSettings(Defaults());
    EXPECT_EQ(r.top, 50);
    EXPECT_EQ(r.left, 60);
    file.WriteSettings(r, false);
    file.Save();
    const std::string& written = platform.files[kIni];
    EXPECT_EQ(written.rfind("\xEF\xBB\xBF[Form1]\r\nTop=50\r\nLeft=60\r\nPanel1=185\r\n", 0), 0u)
        << written;
    EXPECT_EQ(written.find("[Form1]"), written.rfind("[Form1]")) << "one [Form1] only";
}

TEST(SettingsFile, AFileSavedAsUtf16IsReadAndWrittenBackAsUtf16) {
    // "[Form1]\r\nTop=50\r\n[Options]\r\nLetters=C:\Лист\r\n", little-endian.
    std::string utf16 = "\xFF\xFE";
    for (const char16_t c : std::u16string(u"[Form1]\r\nTop=50\r\n[Options]\r\nLetters=C:\\"
                                           u"\u041B\u0438\u0441\u0442\r\n")) {
        utf16 += static_cast<char>(c & 0xFF);
        utf16 += static_cast<char>(c >> 8);
    }
    FakePlatform platform;
    platform.files[kIni] = utf16;
    SettingsFile file(platform);
    SettingsRecord r = file.ReadSettings(Defaults());
    EXPECT_EQ(r.top, 50);
    EXPECT_EQ(r.letters, "C:\\\u041B\u0438\u0441\u0442");
    file.WriteSettings(r, false);
    file.Save();
    const std::string& written = platform.files[kIni];
    ASSERT_EQ(written.rfind(utf16.substr(0, 2 + 2 * 17), 0), 0u) << "[Form1] and Top as they were";
    std::string left;
    for (const char c : std::string("Left=197\r\n")) left += std::string{c, '\0'};
    EXPECT_NE(written.find(left), std::string::npos) << "Left=197 in UTF-16";
}

TEST(SettingsFile, DosLineEndsAndEndOfFileMarksReadAsTheWindowsCallsReadThem) {
    FakePlatform platform;
    // Converted to CRLF twice, then a lone CR, an old Mac line end, form
    // feeds and vertical tabs around names, and a DOS editor's Ctrl-Z at the end.
    platform.files[kIni] =
        "[Form1]\r\r\nTop=50\r\r\nLeft=60\r\f\vHeight\v=\f400\r\n[Options]\rMoveDir=/srv/del\r\r\n"
        "PostMove=1\x1A";
    SettingsFile file(platform);
    const SettingsRecord r = file.ReadSettings(Defaults());
    EXPECT_EQ(r.top, 50);
    EXPECT_EQ(r.left, 60);
    EXPECT_EQ(r.height, 400);
    EXPECT_EQ(r.moveDir, "/srv/del") << "no trailing CR in a path";
    EXPECT_TRUE(r.postMove);
}

TEST(SettingsFile, LinesEndedByALoneCarriageReturnKeepTheirEndingsWhenNotWritten) {
    FakePlatform platform;
    platform.files[kIni] = "; note\r[Form1]\rTop=50\r";
    SettingsFile file(platform);
    SettingsRecord r = file.ReadSettings(Defaults());
    r.top = 70;
    file.WriteSettings(r, true);  // maximised: the geometry is left alone
    file.Save();
    EXPECT_EQ(platform.files[kIni].rfind("; note\r[Form1]\rTop=50\rPanel1=185\r\n", 0), 0u)
        << platform.files[kIni];
}
