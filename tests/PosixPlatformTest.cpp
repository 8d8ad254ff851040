#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "FakePlatform.h"
#include "TempDir.h"
#include "core/RecipientList.h"
#include "core/SettingsFile.h"
#include "platform/posix/PosixPlatform.h"

using namespace dorvel;
using dorvel::fakes::InDirectory;
using dorvel::fakes::RecordingMessages;
using dorvel::fakes::TempDir;
namespace fs = std::filesystem;

namespace {

// Runs the body in a child process as an unprivileged user, so that
// permission bits refuse even when the tests run as root. The child's exit
// code is the body's result.
int AsUnprivilegedUser(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(99);
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(PosixPlatform, OpeningRefusesWhatIsNoRegularFileWithoutBlocking) {
    TempDir dir;
    platform::PosixPlatform p;
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    EXPECT_EQ(p.openFile(dir / "fifo").code(), platform::kBadFileType);
    EXPECT_EQ(p.openFile("/dev/zero").code(), platform::kBadFileType);
    fs::create_symlink(dir / "nowhere", dir / "dangling");
    EXPECT_EQ(p.openFile(dir / "dangling").code(), platform::kFileNotFound);
    const auto dangling = p.inspect(dir / "dangling");
    ASSERT_TRUE(dangling) << "a link that points nowhere still holds its name";
    EXPECT_FALSE(dangling->isFolder);
    EXPECT_EQ(p.inspect("").code(), platform::kPathNotFound);
}

TEST(PosixPlatform, AddressFileThatIsADirectoryIsNotFound) {
    TempDir dir;
    fs::create_directory(dir / "LUSERS.NDE");
    ::setenv("ZOVOVOD", dir.path().c_str(), 1);
    RecordingMessages messages;
    const auto load = core::LoadRecipients(platform::HostPlatform(), messages);
    ::unsetenv("ZOVOVOD");
    EXPECT_FALSE(load.ok);
    EXPECT_EQ(messages.errors,
              std::vector<std::string>{"Не найден файл " + dir.path() + "/LUSERS.NDE"});
}

TEST(PosixPlatform, ReplaceCreatesAndReplacesKeepingTheMode) {
    TempDir dir;
    platform::PosixPlatform p;
    ASSERT_TRUE(p.replaceFile(dir / "a.ini", "one"));
    EXPECT_EQ(dir.read("a.ini"), "one");
    ::chmod((dir / "a.ini").c_str(), 0640);
    ASSERT_TRUE(p.replaceFile(dir / "a.ini", "two"));
    EXPECT_EQ(dir.read("a.ini"), "two");
    struct stat st {};
    ::stat((dir / "a.ini").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator{}), 1)
        << "a temporary file was left behind";
}

TEST(PosixPlatform, ReplaceRefusesADirectoryInThePlaceOfTheFile) {
    TempDir dir;
    fs::create_directory(dir / "dorvel.ini");
    EXPECT_FALSE(platform::PosixPlatform().replaceFile(dir / "dorvel.ini", "x"));
    EXPECT_TRUE(fs::is_directory(dir / "dorvel.ini"));
}

TEST(PosixPlatform, ReplaceWritesThroughASymbolicLinkToItsTarget) {
    TempDir dir;
    fs::create_directory(dir / "real");
    dir.write("real/settings.ini", "old");
    fs::create_symlink("real/settings.ini", dir / "dorvel.ini");
    ASSERT_TRUE(platform::PosixPlatform().replaceFile(dir / "dorvel.ini", "new"));
    EXPECT_TRUE(fs::is_symlink(dir / "dorvel.ini"));
    EXPECT_EQ(dir.read("real/settings.ini"), "new");
}

TEST(PosixPlatform, ReplaceRefusesAReadOnlyFileAndKeepsIt) {
    TempDir dir;
    dir.write("dorvel.ini", "old");
    ::chmod((dir / "dorvel.ini").c_str(), 0444);
    ::chmod(dir.path().c_str(), 0777);
    const std::string path = dir / "dorvel.ini";
    EXPECT_EQ(AsUnprivilegedUser(
                  [&] { return platform::PosixPlatform().replaceFile(path, "new") ? 1 : 0; }),
              0);
    EXPECT_EQ(dir.read("dorvel.ini"), "old");
}

TEST(PosixPlatform, AFolderTheUserMayNotWriteStillTakesTheSaveInTheFileItself) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to set up a file of another user";
    TempDir dir;
    ::chmod(dir.path().c_str(), 0755);  // the folder is root's alone
    dir.write("dorvel.ini", "[Form1]\r\nTop=1\r\nLeft=2\r\n");
    ASSERT_EQ(::chown((dir / "dorvel.ini").c_str(), 65534, 65534), 0);
    dir.write("theirs.ini", "old");  // neither the file nor the folder is writable
    const std::string path = dir / "dorvel.ini";
    EXPECT_EQ(AsUnprivilegedUser([&] {
                  return platform::PosixPlatform().replaceFile(path, "[Form1]\r\n") ? 1 : 0;
              }),
              1);
    EXPECT_EQ(dir.read("dorvel.ini"), "[Form1]\r\n") << "rewritten in place, and cut to its size";
    const std::string theirs = dir / "theirs.ini";
    EXPECT_EQ(AsUnprivilegedUser(
                  [&] { return platform::PosixPlatform().replaceFile(theirs, "new") ? 1 : 0; }),
              0);
    EXPECT_EQ(dir.read("theirs.ini"), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator{}), 2);
}

TEST(PosixPlatform, ASaveByAnotherUserKeepsTheFilesOwnerGroupAndMode) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to save another user's file";
    TempDir dir;
    dir.write("dorvel.ini", "old");
    ASSERT_EQ(::chown((dir / "dorvel.ini").c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chmod((dir / "dorvel.ini").c_str(), 0640), 0);
    ASSERT_TRUE(platform::PosixPlatform().replaceFile(dir / "dorvel.ini", "new"));
    struct stat st {};
    ASSERT_EQ(::stat((dir / "dorvel.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(dir.read("dorvel.ini"), "new");
}

TEST(PosixPlatform, SettingsFileLivesInTheCurrentDirectory) {
    TempDir first, second;
    auto& host = platform::HostPlatform();
    {
        InDirectory cd(first.path());
        core::SettingsFile file(host);
        core::SettingsRecord r;
        r.panel1 = 250;
        file.WriteSettings(r, false);
        file.Save();
    }
    InDirectory cd(second.path());
    EXPECT_EQ(core::SettingsFile(host).ReadSettings({}).panel1, 185);
    EXPECT_NE(first.read("dorvel.ini").find("Panel1=250\r\n"), std::string::npos);
}

TEST(PosixPlatform, RefusedSettingsWriteIsReportedWithTheFileName) {
    TempDir dir;
    fs::create_directory(dir / "dorvel.ini");
    InDirectory cd(dir.path());
    core::SettingsFile file(platform::HostPlatform());
    file.WriteTick("L_A x", true);
    EXPECT_THROW(file.Save(), core::PlatformError);
}

TEST(PosixPlatform, ErrnoMapsToTheWindowsNumbersTheMessagesUse) {
    EXPECT_EQ(platform::WindowsErrorFromErrno(ENOENT), 2);
    EXPECT_EQ(platform::WindowsErrorFromErrno(ENOTDIR), 3);
    EXPECT_EQ(platform::WindowsErrorFromErrno(EACCES), 5);
    EXPECT_EQ(platform::WindowsErrorFromErrno(EMFILE), 4);
    EXPECT_EQ(core::IoErrorText(5), "File access denied");
    EXPECT_EQ(core::IoErrorText(3), "Invalid filename");
    EXPECT_EQ(core::IoErrorText(183), "I/O error 183");
}

TEST(PosixPlatform, AStartedProgramGetsBackTheSignalTheMoverIgnores) {
    // Ignored by the program for its leases while it moves letters; the mail
    // tool and the file browser decide for themselves.
    const auto before = ::signal(SIGIO, SIG_IGN);
    TempDir dir;
    platform::Command command;
    command.arguments = {"/bin/sh", "-c", "grep SigIgn /proc/self/status > status"};
    command.workingDirectory = dir.path();
    auto process = platform::HostPlatform().start(command);
    ASSERT_TRUE(process);
    for (int i = 0; i < 500 && !process->hasEnded(); ++i) ::usleep(10000);
    ::signal(SIGIO, before);
    const std::string line = dir.read("status");
    ASSERT_EQ(line.rfind("SigIgn:", 0), 0u) << line;
    const auto ignored = std::stoull(line.substr(7), nullptr, 16);
    EXPECT_EQ(ignored & (1ULL << (SIGIO - 1)), 0u) << line;
}
