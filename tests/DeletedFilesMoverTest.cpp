#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>

#include "FakePlatform.h"
#include "RecordingProgress.h"
#include "TempDir.h"
#include "core/DeletedFilesMover.h"
#include "platform/posix/PosixPlatform.h"

using namespace dorvel;
using dorvel::fakes::RecordingMessages;
using dorvel::fakes::RecordingProgress;
using dorvel::fakes::TempDir;
namespace fs = std::filesystem;

namespace {

class MoverTest : public ::testing::Test {
protected:
    std::string unique(const std::string& name) {
        return core::MakeUniqueTarget(dir / name, platform::HostPlatform())
            .substr(dir.path().size() + 1);
    }
    // Takes the name, then returns the next free one.
    std::string takeAndNext(const std::string& name) {
        dir.write(name, "taken");
        return unique(name);
    }
    std::string move(const std::string& name, const std::string& folder) {
        return core::MoveToDeleted(core::FolderEntry{name, dir / name}, folder, progress,
                                   platform::HostPlatform(), messages);
    }

    TempDir dir;
    RecordingProgress progress;
    RecordingMessages messages;
};

}  // namespace

TEST_F(MoverTest, NumberedNamesFollowTheWorkedExamples) {
    EXPECT_EQ(unique("a.doc"), "a.doc");
    EXPECT_EQ(takeAndNext("a.doc"), "a.1.doc");
    EXPECT_EQ(takeAndNext("a.1.doc"), "a.2.doc");
    EXPECT_EQ(takeAndNext("a.2.doc"), "a.3.doc");
    EXPECT_EQ(takeAndNext("readme"), "readme.1");
    EXPECT_EQ(takeAndNext("readme.1"), "readme.1.1");
    EXPECT_EQ(takeAndNext("readme.1.1"), "readme.2.1");
    EXPECT_EQ(takeAndNext("readme.2.1"), "readme.3.1");
    EXPECT_EQ(takeAndNext("x.9.doc"), "x.10.doc");
    EXPECT_EQ(takeAndNext("data.2004.txt"), "data.2005.txt");
    EXPECT_EQ(takeAndNext(".profile"), ".1.profile");
}

TEST_F(MoverTest, AMiddlePartThatIsNoNumberGetsACounterAfterIt) {
    EXPECT_EQ(takeAndNext("my.report.doc"), "my.report.1.doc");
    EXPECT_EQ(takeAndNext("my.report.1.doc"), "my.report.2.doc");
    EXPECT_EQ(takeAndNext("a..doc"), "a..1.doc");
    EXPECT_EQ(takeAndNext("b.99999999999.doc"), "b.99999999999.1.doc");
    EXPECT_EQ(takeAndNext("c.2147483647.doc"), "c.2147483648.doc");
}

TEST_F(MoverTest, ADirectoryOfTheTargetsNameIsNotTakenAndTheMoveFailsSilently) {
    fs::create_directories(dir / "del/a.doc");
    dir.write("a.doc", "letter");
    EXPECT_EQ(move("a.doc", dir / "del"), dir / "del/");
    EXPECT_EQ(dir.read("a.doc"), "letter");
    EXPECT_TRUE(fs::is_directory(dir / "del/a.doc"));
    EXPECT_TRUE(messages.errors.empty());
}

TEST_F(MoverTest, ALinkThatPointsNowhereTakesItsNameAndTheLetterStillMoves) {
    fs::create_directories(dir / "del");
    fs::create_symlink(dir / "gone", dir / "del/REPORT.DOC");
    fs::create_symlink(dir / "del", dir / "del/folder-link.doc");  // a link to a folder is one
    dir.write("REPORT.DOC", "letter");
    EXPECT_EQ(move("REPORT.DOC", dir / "del/"), dir / "del/");
    EXPECT_EQ(dir.read("del/REPORT.1.DOC"), "letter");
    EXPECT_TRUE(fs::is_symlink(dir / "del/REPORT.DOC")) << "the link itself is left alone";
    EXPECT_EQ(unique("del/folder-link.doc"), "del/folder-link.doc");
}

TEST_F(MoverTest, NothingSelectedShowsTheMessageAndChangesNothing) {
    EXPECT_EQ(core::MoveToDeleted(std::nullopt, dir / "del", progress, platform::HostPlatform(),
                                  messages),
              dir / "del");
    EXPECT_EQ(messages.informations, std::vector<std::string>{"Выберите файл для удаления"});
    EXPECT_TRUE(progress.events.empty());
    EXPECT_FALSE(fs::exists(dir / "del"));
}

TEST_F(MoverTest, TheFolderIsCreatedAndGetsItsSeparator) {
    dir.write("a.doc", "first");
    EXPECT_EQ(move("a.doc", dir / "del"), dir / "del/");
    EXPECT_EQ(dir.read("del/a.doc"), "first");
    EXPECT_EQ(progress.events,
              (std::vector<std::string>{"caption Перемещается файл", "file " + (dir / "a.doc"),
                                        "line " + (dir / "del/a.doc"), "show", "close"}));
    dir.write("a.doc", "second");
    EXPECT_EQ(move("a.doc", dir / "del/"), dir / "del/");
    EXPECT_EQ(dir.read("del/a.1.doc"), "second");
    EXPECT_EQ(dir.read("del/a.doc"), "first");
}

TEST_F(MoverTest, AFolderThatCannotBeCreatedStopsWithTheReportAndMovesNothing) {
    dir.write("a.doc", "letter");
    try {
        move("a.doc", dir / "missing/parent/del");
        FAIL() << "a folder under a missing parent was reported as made";
    } catch (const core::PlatformError& e) {
        EXPECT_STREQ(e.what(), "Invalid filename");
    }
    dir.write("plain-file", "x");
    EXPECT_THROW(move("a.doc", dir / "plain-file"), core::PlatformError);
    EXPECT_THROW(move("a.doc", ""), core::PlatformError);
    EXPECT_EQ(dir.read("a.doc"), "letter");
    EXPECT_FALSE(progress.visible);
    EXPECT_EQ(std::count(progress.events.begin(), progress.events.end(), "show"), 0);
}

TEST_F(MoverTest, AFolderEntryMovesLikeAFile) {
    fs::create_directories(dir / "old letters/inner");
    dir.write("old letters/inner/x.txt", "kept");
    move("old letters", dir / "del");
    EXPECT_EQ(dir.read("del/old letters/inner/x.txt"), "kept");
}

TEST_F(MoverTest, HostileNamesAreMovedWithoutLoss) {
    for (const std::string name : {"-rf", "a b", "q\"uote", "semi;colon", "$(reboot)", "new\nline",
                                   "\xFF\xFE bytes", "Лист.doc"}) {
        dir.write(name, "letter " + name);
        move(name, dir / "del");
        EXPECT_EQ(dir.read("del/" + name), "letter " + name);
        EXPECT_FALSE(fs::exists(dir / name));
    }
}
