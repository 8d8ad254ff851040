// The settings file is one file on both systems: an office that moves the
// program's folder between a Windows and a Linux desk keeps its window, its
// folders and its ticks. Each system writes the committed file byte for byte
// and reads it back as the same settings.

#include <gtest/gtest.h>

#include <fstream>

#include "TempDir.h"
#include "core/SettingsFile.h"
#include "platform/formats/CodePages.h"

using namespace dorvel;

namespace {

// The committed file, reached from either system (under Wine the build
// machine's folders are drive Z:).
std::string CommittedFile() {
    std::string path = DORVEL_TEST_DATA "/settings-on-both-systems.ini";
#ifdef _WIN32
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    path.insert(0, "Z:");
#endif
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

core::SettingsRecord Record() {
    core::SettingsRecord r;
    r.top = -8;
    r.left = 1928;
    r.height = 540;
    r.width = 760;
    r.windowState = 2;
    r.panel1 = 240;
    r.letters = "C:\\Почта\\Исходящие";
    r.postMove = true;
    r.moveDir = "D:\\archive ✓\\deleted";  // no Windows-1251 form: kept encoded
    return r;
}

const char* const kTicked[] = {"L_KIEV Киев, центральный офис", "L_LVIV Львов"};
const char* const kUnticked = "L_ODESA Одесса";

}  // namespace

TEST(SettingsOnBothSystems, ThisSystemWritesTheCommittedFileByteForByte) {
    const std::string expected = CommittedFile();
    ASSERT_FALSE(expected.empty()) << "the committed file was not found";
    fakes::TempDir dir;
    fakes::InDirectory cd(dir.path());
    core::SettingsFile file(platform::HostPlatform());
    // Written as at a close with the window maximised: the geometry first,
    // then the ticks.
    core::SettingsRecord normal = Record();
    normal.windowState = 0;
    file.WriteSettings(normal, false);
    file.WriteSettings(Record(), true);
    for (const char* line : kTicked) file.WriteTick(*platform::Utf8ToCp1251(line), true);
    file.WriteTick(*platform::Utf8ToCp1251(kUnticked), false);
    file.Save();
    EXPECT_EQ(dir.read("dorvel.ini"), expected);
}

TEST(SettingsOnBothSystems, ThisSystemReadsTheCommittedFileAsTheSameSettings) {
    fakes::TempDir dir;
    dir.write("dorvel.ini", CommittedFile());
    fakes::InDirectory cd(dir.path());
    const core::SettingsFile file(platform::HostPlatform());
    const core::SettingsRecord read = file.ReadSettings({});
    const core::SettingsRecord expected = Record();
    EXPECT_EQ(read.top, expected.top);
    EXPECT_EQ(read.left, expected.left);
    EXPECT_EQ(read.height, expected.height);
    EXPECT_EQ(read.width, expected.width);
    EXPECT_EQ(read.windowState, expected.windowState);
    EXPECT_EQ(read.panel1, expected.panel1);
    EXPECT_EQ(read.letters, expected.letters);
    EXPECT_EQ(read.postMove, expected.postMove);
    EXPECT_EQ(read.moveDir, expected.moveDir);
    for (const char* line : kTicked)
        EXPECT_TRUE(file.ReadTick(*platform::Utf8ToCp1251(line))) << line;
    EXPECT_FALSE(file.ReadTick(*platform::Utf8ToCp1251(kUnticked)));
}
