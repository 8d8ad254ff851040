#include "platform/posix/HomeTrash.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <filesystem>

#include "TempDir.h"

using namespace dorvel::platform;
using dorvel::fakes::TempDir;
namespace fs = std::filesystem;

namespace {

constexpr std::time_t kNoon = 1'765'281'600;  // some day at noon, UTC

class HomeTrashTest : public ::testing::Test {
protected:
    HomeTrashTest() {
        ::setenv("TZ", "UTC", 1);
        ::tzset();
    }
    ~HomeTrashTest() override {
        ::unsetenv("TZ");
        ::tzset();
    }
    TempDir dir;
};

}  // namespace

TEST_F(HomeTrashTest, AFreshHomeGetsItsTrashMadeAndTheFileArrivesWithItsInfo) {
    dir.write("REPORT DOC.txt", "letter");
    const std::string trash = dir / "home/.local/share/Trash";
    ASSERT_EQ(MoveToTrash(dir / "REPORT DOC.txt", trash, kNoon), std::nullopt);
    EXPECT_FALSE(fs::exists(dir / "REPORT DOC.txt"));
    EXPECT_EQ(dir.read("home/.local/share/Trash/files/REPORT DOC.txt"), "letter");
    const std::string info = dir.read("home/.local/share/Trash/info/REPORT DOC.txt.trashinfo");
    EXPECT_EQ(info, "[Trash Info]\nPath=" + dir.path() + "/REPORT%20DOC.txt\n" +
                        "DeletionDate=2025-12-09T12:00:00\n");
    EXPECT_EQ(fs::status(dir / "home/.local").permissions() & fs::perms::all, fs::perms::owner_all)
        << "folders made for the trash are the user's alone";
}

TEST_F(HomeTrashTest, ATakenNameGetsANumberAndNothingInTheTrashIsReplaced) {
    const std::string trash = dir / "Trash";
    for (const char* text : {"first", "second", "third"}) {
        dir.write("a.doc", text);
        ASSERT_EQ(MoveToTrash(dir / "a.doc", trash, kNoon), std::nullopt);
    }
    EXPECT_EQ(dir.read("Trash/files/a.doc"), "first");
    EXPECT_EQ(dir.read("Trash/files/a.doc.2"), "second");
    EXPECT_EQ(dir.read("Trash/files/a.doc.3"), "third");
    EXPECT_TRUE(fs::exists(dir / "Trash/info/a.doc.3.trashinfo"));
}

TEST_F(HomeTrashTest, AFileThatCannotGoThereStaysWhereItWasWithAMessage) {
    dir.write("letter.txt", "kept");
    dir.write("not-a-folder", "");  // a file where the trash's parent should be
    const auto error = MoveToTrash(dir / "letter.txt", dir / "not-a-folder/Trash", kNoon);
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->find("Cannot move " + (dir / "letter.txt") + " to the trash"),
              std::string::npos);
    EXPECT_EQ(dir.read("letter.txt"), "kept");

    // Another file system: the file is not copied, and its info is taken back.
    TempDir other("/dev/shm");
    if (!other.made() || fs::status(other.path()).type() != fs::file_type::directory) {
        GTEST_SKIP() << "no second file system at /dev/shm";
    }
    other.write("elsewhere.txt", "kept too");
    EXPECT_TRUE(MoveToTrash(other / "elsewhere.txt", dir / "Trash", kNoon).has_value());
    EXPECT_EQ(other.read("elsewhere.txt"), "kept too");
    EXPECT_TRUE(fs::is_empty(dir / "Trash/info"));

    EXPECT_TRUE(MoveToTrash("relative.txt", dir / "Trash", kNoon).has_value())
        << "never a trash relative to the current directory";
}

TEST_F(HomeTrashTest, TheDataFolderComesFromTheEnvironmentWhenAbsolute) {
    ::setenv("XDG_DATA_HOME", "/srv/data", 1);
    EXPECT_EQ(HomeTrashFolder("/home/op"), "/srv/data/Trash");
    ::setenv("XDG_DATA_HOME", "relative/data", 1);
    EXPECT_EQ(HomeTrashFolder("/home/op"), "/home/op/.local/share/Trash");
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(HomeTrashFolder("/home/op"), "/home/op/.local/share/Trash");
}
