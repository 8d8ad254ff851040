#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>

#include "FakePlatform.h"
#include "TempDir.h"
#include "core/Messages.h"
#include "core/SettingsFile.h"
#include "core/StartupReads.h"
#include "platform/Platform.h"
#include "platform/formats/ProfileFile.h"

using namespace dorvel;
using dorvel::fakes::InDirectory;
using dorvel::fakes::TempDir;

namespace {

// The shut-down writes of a program with many recipients.
void ShutDownWrites() {
    core::SettingsFile file(platform::HostPlatform());
    core::SettingsRecord r;
    r.letters = "/srv/letters";
    r.moveDir = "/srv/deleted";
    file.WriteSettings(r, false);
    for (int i = 0; i < 20'000; ++i)
        file.WriteTick("L_R" + std::to_string(i) + " office", i % 2 == 0);
    file.Save();
}

std::string OldFile() {
    std::string old = "; kept by hand\r\n[Form1]\r\nTop=1\r\n[ListCheck]\r\n";
    for (int i = 0; i < 20'000; ++i) old += "L_R" + std::to_string(i) + " office=1\r\n";
    return old;
}

}  // namespace

TEST(SettingsFaults, AShutDownKilledAtAnyPointLeavesTheOldFileOrTheNewOneNeverATornOne) {
    TempDir dir;
    InDirectory cd(dir.path());
    const std::string old = OldFile();
    dir.write("dorvel.ini", old);
    ShutDownWrites();
    const std::string fresh = dir.read("dorvel.ini");
    ASSERT_NE(fresh, old);
    std::mt19937 random(7);
    int finished = 0;
    for (int run = 0; run < 200; ++run) {
        dir.write("dorvel.ini", old);
        const pid_t child = ::fork();
        if (child == 0) {
            ShutDownWrites();
            ::_exit(0);
        }
        ::usleep(std::uniform_int_distribution<int>(0, 100000)(random));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        const std::string now = dir.read("dorvel.ini");
        ASSERT_TRUE(now == old || now == fresh) << "run " << run << ": a torn settings file";
        finished += now == fresh;
    }
    std::cout << "shut-downs that finished before the kill: " << finished << " of 200\n";
}

TEST(SettingsFaults, AFullDiskRefusesTheWriteAndKeepsTheOldFile) {
    TempDir dir;
    InDirectory cd(dir.path());
    const std::string old = OldFile();
    dir.write("dorvel.ini", old);
    const pid_t child = ::fork();
    if (child == 0) {
        // A file-size limit stands in for a full disk: writes past it fail.
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        try {
            ShutDownWrites();
        } catch (const core::PlatformError& e) {
            ::_exit(std::string(e.what()) == "Unable to write to .\\dorvel.ini" ? 7 : 8);
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 7) << "the refused write was not reported as such";
    EXPECT_EQ(dir.read("dorvel.ini"), old);
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 1u) << "a temporary file was left behind";
}

namespace {

// Reads the settings and tries the shut-down writes; true when they landed.
bool ReadThenSave(core::SettingsRecord& read) {
    core::SettingsFile file(platform::HostPlatform());
    read = file.ReadSettings(core::SettingsRecord{});
    file.WriteSettings(read, false);
    try {
        file.Save();
        return true;
    } catch (const core::PlatformError& e) {
        EXPECT_STREQ(e.what(), "Unable to write to .\\dorvel.ini");
        return false;
    }
}

}  // namespace

TEST(SettingsFaults, WhatIsNoRegularFileReadsAsDefaultsAndIsNeverWrittenInto) {
    TempDir dir;
    InDirectory cd(dir.path());
    core::SettingsRecord read;

    ASSERT_EQ(::mkfifo("dorvel.ini", 0644), 0);
    EXPECT_FALSE(ReadThenSave(read)) << "a FIFO neither blocks the start nor takes the writes";
    EXPECT_EQ(read.top, 106);
    EXPECT_TRUE(std::filesystem::is_fifo("dorvel.ini"));
    std::filesystem::remove("dorvel.ini");

    std::filesystem::create_symlink("/dev/zero", "dorvel.ini");
    EXPECT_FALSE(ReadThenSave(read)) << "an endless device is neither read to the end nor written";
    EXPECT_EQ(read.width, 870);
    EXPECT_TRUE(std::filesystem::is_symlink("dorvel.ini"));
    std::filesystem::remove("dorvel.ini");

    // A regular file beyond any real settings file is kept as it is.
    {
        std::ofstream big("dorvel.ini", std::ios::binary);
        big << "[Form1]\r\nTop=5\r\n";
        big.seekp(static_cast<std::streamoff>(core::kMaxSettingsBytes) + 1);
        big << "end";
    }
    const auto size = std::filesystem::file_size("dorvel.ini");
    EXPECT_FALSE(ReadThenSave(read));
    EXPECT_EQ(read.top, 106);
    EXPECT_EQ(std::filesystem::file_size("dorvel.ini"), size);
    std::filesystem::remove("dorvel.ini");

    // A link to a regular file is fine, as before.
    dir.write("real.ini", "[Form1]\r\nTop=5\r\n");
    std::filesystem::create_symlink("real.ini", "dorvel.ini");
    EXPECT_TRUE(ReadThenSave(read));
    EXPECT_EQ(read.top, 5);
    EXPECT_NE(dir.read("real.ini").find("Panel1=185"), std::string::npos);
}

// A settings file that could not be read at the start (here a FIFO, on
// Windows one held by another program) is said at once, and the exit never
// writes over it, even when the file has become readable by then.
TEST(SettingsFaults, ASettingsFileUnreadableAtTheStartIsSaidThenAndNeverWrittenAtTheExit) {
    TempDir dir;
    InDirectory cd(dir.path());
    ASSERT_EQ(::mkfifo("dorvel.ini", 0644), 0);
    core::StartupReads reads(platform::HostPlatform());
    EXPECT_TRUE(reads.settings.readFailed());
    fakes::RecordingMessages shown;
    reads.settingsMessages.showTo(shown);
    EXPECT_EQ(shown.platformErrors, std::vector<std::string>{"Unable to write to .\\dorvel.ini"});

    std::filesystem::remove("dorvel.ini");
    const std::string stored = "[ListCheck]\r\nL_A first=1\r\n";
    dir.write("dorvel.ini", stored);
    const std::vector<core::Recipient> recipients{{"L_A first", false}};
    try {
        core::SaveAtExit(platform::HostPlatform(), core::SettingsRecord{}, false, recipients, true);
        ADD_FAILURE() << "the exit wrote over a file it could not read at the start";
    } catch (const core::PlatformError& e) {
        EXPECT_STREQ(e.what(), "Unable to write to .\\dorvel.ini");
    }
    EXPECT_EQ(dir.read("dorvel.ini"), stored);
    core::SaveAtExit(platform::HostPlatform(), core::SettingsRecord{}, false, recipients, false);
    EXPECT_NE(dir.read("dorvel.ini").find("L_A first=0\r\n"), std::string::npos);
}
