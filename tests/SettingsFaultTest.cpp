#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <random>

#include "TempDir.h"
#include "core/Messages.h"
#include "core/SettingsFile.h"
#include "platform/Platform.h"
#include "platform/ProfileFile.h"

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
