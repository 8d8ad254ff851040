// The settings file on Windows: replaced in one step, through a link to its
// target, never missing after a kill, and never written over when it could
// not be read at start.

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <iostream>
#include <random>
#include <thread>

#include "FakePlatform.h"
#include "TempDir.h"
#include "core/SettingsFile.h"
#include "platform/Platform.h"
#include "platform/win32/WideText.h"
#include "win32/KilledWorker.h"

using namespace dorvel;
using fakes::TempDir;
namespace fs = std::filesystem;

namespace {

std::size_t EntriesIn(const std::string& folder) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(platform::Wide(folder)), fs::directory_iterator{}));
}

// What the worker writes for a seed (FileWorker.cpp).
std::string Contents(std::size_t bytes, unsigned seed) {
    std::string text(bytes, '\0');
    for (std::size_t i = 0; i < bytes; ++i) {
        text[i] = static_cast<char>('a' + (i * 31 + seed * 7 + i / 977) % 26);
    }
    return text;
}

}  // namespace

TEST(SaveOnWindows, ThroughALinkTheLinkedFileIsWrittenAndTheLinkStays) {
    TempDir dir;
    fs::create_directory(platform::Wide(dir / "shared"));
    dir.write("shared/office.ini", "[Options]\r\nPostMove=1\r\n");
    if (!fakes::MakeLinuxLink(platform::Wide(dir / "shared/office.ini"),
                              platform::Wide(dir / "dorvel.ini"))) {
        GTEST_SKIP() << "links are made with Linux's ln here";
    }
    ASSERT_EQ(dir.read("dorvel.ini"), "[Options]\r\nPostMove=1\r\n");

    ASSERT_TRUE(platform::HostPlatform().replaceFile(dir / "dorvel.ini", "new contents"));
    EXPECT_EQ(dir.read("shared/office.ini"), "new contents") << "the linked file was not written";
    EXPECT_EQ(dir.read("dorvel.ini"), "new contents");
    EXPECT_EQ(EntriesIn(dir / "shared"), 1u) << "a temporary was left beside the linked file";
}

TEST(SaveOnWindows, AFileHeldForAMomentIsWaitedForAndKilledSavesLeaveNothingAtTheNext) {
    TempDir dir;
    dir.write("dorvel.ini", "old");
    dir.write("~dorvel-save-1-2.tmp", "a killed save's temporary");
    // A scanner holds the file, without sharing delete, for a moment.
    const HANDLE scanner = ::CreateFileW(platform::Wide(dir / "dorvel.ini").c_str(), GENERIC_READ,
                                         FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(scanner, INVALID_HANDLE_VALUE);
    std::thread release([scanner] {
        ::Sleep(150);
        ::CloseHandle(scanner);
    });
    const auto saved = platform::HostPlatform().replaceFile(dir / "dorvel.ini", "new");
    release.join();
    EXPECT_TRUE(saved) << "refused with " << saved.code();
    EXPECT_EQ(dir.read("dorvel.ini"), "new");
    EXPECT_EQ(EntriesIn(dir.path()), 1u) << "a temporary was left";
}

TEST(SaveOnWindows, ASettingsFileHeldAtTheStartIsNeverWrittenOver) {
    TempDir dir;
    fakes::InDirectory cd(dir.path());
    const std::string stored = "[Options]\r\nPostMove=1\r\n[ListCheck]\r\nL_A first=1\r\n";
    dir.write("dorvel.ini", stored);
    const HANDLE holder = ::CreateFileW(platform::Wide(dir / "dorvel.ini").c_str(), GENERIC_READ, 0,
                                        nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    core::SettingsFile settings(platform::HostPlatform());
    ::CloseHandle(holder);  // free again by the exit
    EXPECT_TRUE(settings.readFailed());
    settings.WriteSettings(core::SettingsRecord{}, false);
    settings.WriteTick("L_A first", false);
    EXPECT_THROW(settings.Save(), core::PlatformError);
    EXPECT_EQ(dir.read("dorvel.ini"), stored);
}

TEST(SaveOnWindows, KilledAtAnyPointTheFileIsTheOldOrTheNewNeverMissing) {
    TempDir dir;
    const std::size_t bytes = 16u << 20;
    const std::string path = dir / "dorvel.ini";
    auto save = [&](unsigned seed, double killAfter) {
        return fakes::RunWorker(
            "save \"" + path + "\" " + std::to_string(bytes) + " " + std::to_string(seed),
            killAfter);
    };
    const double took = save(0, -1);
    ASSERT_GT(took, 0) << "the worker did not start";
    std::string old = Contents(bytes, 0);
    ASSERT_EQ(dir.read("dorvel.ini") == old, true);
    std::mt19937 random(20261211);
    int replaced = 0;
    const int kills = 200;
    for (int run = 1; run <= kills; ++run) {
        save(static_cast<unsigned>(run),
             std::uniform_real_distribution<double>(0, took * 1.2)(random));
        ASSERT_TRUE(fs::exists(platform::Wide(path))) << "run " << run << ": no settings file";
        const std::string now = dir.read("dorvel.ini");
        const std::string fresh = Contents(bytes, static_cast<unsigned>(run));
        ASSERT_TRUE(now == old || now == fresh) << "run " << run << ": a torn settings file";
        if (now == fresh) {
            old = fresh;
            ++replaced;
        }
    }
    std::cout << "kills: " << kills << ", saves done before the kill: " << replaced
              << ", entries left beside the file: " << EntriesIn(dir.path()) - 1 << "\n";
    // The next save clears what killed ones left.
    ASSERT_GT(save(9999, -1), 0);
    EXPECT_EQ(dir.read("dorvel.ini") == Contents(bytes, 9999), true);
    EXPECT_EQ(EntriesIn(dir.path()), 1u) << "temporaries outlived the next save";
}
