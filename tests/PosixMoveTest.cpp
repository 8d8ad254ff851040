#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>

#include "TempDir.h"
#include "platform/posix/PosixPlatform.h"

using namespace dorvel;
using dorvel::fakes::TempDir;
namespace fs = std::filesystem;

TEST(SafeMove, AMoveNeverReplacesAFileThatAppearedAtTheTarget) {
    TempDir dir;
    dir.write("letter", "mine");
    dir.write("target", "someone else's");
    EXPECT_EQ(platform::HostPlatform().move(dir / "letter", dir / "target").code(),
              platform::kAlreadyExists);
    EXPECT_FALSE(platform::CopyThenRemove(dir / "letter", dir / "target"));
    EXPECT_EQ(dir.read("target"), "someone else's");
    EXPECT_EQ(dir.read("letter"), "mine");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator{}), 2)
        << "a temporary copy was left behind";
}

// Another file system than /tmp, where one is to be had.
static std::string OtherFileSystem() {
    struct stat a {
    }, b{};
    if (::stat("/dev/shm", &a) != 0 || ::stat(fs::temp_directory_path().c_str(), &b) != 0)
        return {};
    return a.st_dev != b.st_dev ? "/dev/shm" : std::string();
}

TEST(SafeMove, AcrossFileSystemsTheLetterArrivesWhole) {
    const std::string other = OtherFileSystem();
    if (other.empty()) GTEST_SKIP() << "no second file system here";
    TempDir dir;
    std::string pattern = other + "/dorvel-move-XXXXXX";
    const std::string source = ::mkdtemp(pattern.data());
    const std::string letter(3 << 20, 'L');
    std::ofstream(source + "/letter.doc", std::ios::binary) << letter;
    // Written a year ago, readable by its owner alone.
    const timespec lastYear[2] = {{1'733'700'000, 0}, {1'733'745'600, 123'456'789}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (source + "/letter.doc").c_str(), lastYear, 0), 0);
    ASSERT_EQ(::chmod((source + "/letter.doc").c_str(), 0600), 0);
    ASSERT_TRUE(platform::HostPlatform().move(source + "/letter.doc", dir / "letter.doc"));
    EXPECT_EQ(dir.read("letter.doc"), letter);
    EXPECT_FALSE(fs::exists(source + "/letter.doc"));
    struct stat moved {};
    ASSERT_EQ(::stat((dir / "letter.doc").c_str(), &moved), 0);
    EXPECT_EQ(moved.st_mtim.tv_sec, lastYear[1].tv_sec) << "the modification time is kept";
    EXPECT_EQ(moved.st_mtim.tv_nsec, lastYear[1].tv_nsec);
    EXPECT_EQ(moved.st_mode & 07777, 0600u);
    fs::remove_all(source);
}

TEST(SafeMove, KilledAtAnyPointTheLetterIsWholeInExactlyOnePlace) {
    const std::string other = OtherFileSystem();
    if (other.empty()) GTEST_SKIP() << "no second file system here";
    TempDir dir;
    std::string pattern = other + "/dorvel-kill-XXXXXX";
    const std::string source = ::mkdtemp(pattern.data());
    std::string letter(1 << 20, '\0');
    for (std::size_t i = 0; i < letter.size(); ++i) letter[i] = static_cast<char>(i * 7 + i / 4096);
    std::mt19937 random(20261208);
    // Kills spread over the whole of a move: time one first.
    std::ofstream(source + "/probe.doc", std::ios::binary) << letter;
    const auto began = std::chrono::steady_clock::now();
    (void)platform::CopyThenRemove(source + "/probe.doc", dir / "probe.doc");
    const auto took = std::chrono::duration_cast<std::chrono::microseconds>(
                          std::chrono::steady_clock::now() - began)
                          .count();
    fs::remove(dir / "probe.doc");
    const int latest = static_cast<int>(std::max<long long>(2000, took * 3 / 2));
    int whole = 0, twiceAtTheKill = 0;
    for (int run = 0; run < 500; ++run) {
        const std::string from = source + "/letter.doc";
        const std::string to = dir / "letter.doc";
        fs::remove(to);
        for (const auto& e : fs::directory_iterator(dir.path())) fs::remove(e.path());
        std::ofstream(from, std::ios::binary | std::ios::trunc) << letter;
        const pid_t child = ::fork();
        if (child == 0) ::_exit(platform::CopyThenRemove(from, to) ? 0 : 1);
        ::usleep(static_cast<useconds_t>(std::uniform_int_distribution<int>(0, latest)(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        const bool inSource = fs::exists(from);
        const bool inTarget = fs::exists(to);
        ASSERT_TRUE(inSource || inTarget) << "run " << run << ": the letter is gone";
        if (inTarget) {
            ASSERT_EQ(dir.read("letter.doc"), letter)
                << "run " << run << ": a partial file under the final name";
        }
        if (inSource) {
            std::ifstream in(from, std::ios::binary);
            ASSERT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), letter) << "run " << run;
        }
        whole += inTarget && !inSource;
        twiceAtTheKill += inTarget && inSource;
        // The next move into the folder finishes a move killed between
        // putting the copy in place and removing the source.
        std::ofstream(source + "/next.doc") << "next";
        ASSERT_TRUE(platform::CopyThenRemove(source + "/next.doc", dir / "next.doc"));
        fs::remove(dir / "next.doc");
        ASSERT_FALSE(fs::exists(from) && fs::exists(to))
            << "run " << run << ": the letter is in two places";
        ASSERT_TRUE(fs::exists(from) || fs::exists(to)) << "run " << run << ": the letter is gone";
        ASSERT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator{}),
                  inTarget || fs::exists(to) ? 1 : 0)
            << "run " << run << ": a note or a temporary stayed";
    }
    std::cout << "moves that completed before the kill: " << whole
              << " of 500; in two places at the kill and finished by the next move: "
              << twiceAtTheKill << "\n";
    fs::remove_all(source);
}

namespace {

// A letter on another file system than its deleted-files folder.
class RacedMove : public ::testing::Test {
protected:
    void SetUp() override {
        if (OtherFileSystem().empty()) GTEST_SKIP() << "no second file system here";
        std::string pattern = OtherFileSystem() + "/dorvel-race-XXXXXX";
        source = ::mkdtemp(pattern.data());
        from = source + "/letter.doc";
        to = dir / "letter.doc";
        Write(from, "first version");
    }
    void TearDown() override {
        if (!source.empty()) fs::remove_all(source);
    }
    static void Write(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    TempDir dir;
    std::string source, from, to;
};

}  // namespace

TEST_F(RacedMove, ALetterReplacedWhileItIsCopiedStaysAndSoDoesTheCopy) {
    EXPECT_FALSE(platform::CopyThenRemove(from, to, [&] {
        Write(from + ".new", "second version");
        fs::rename(from + ".new", from);  // another program saves over it
    }));
    EXPECT_EQ(Read(from), "second version");
    EXPECT_EQ(Read(to), "first version");
}

TEST_F(RacedMove, ALetterStillBeingWrittenIsNotCutShort) {
    EXPECT_FALSE(platform::CopyThenRemove(from, to, [&] {
        std::ofstream(from, std::ios::binary | std::ios::app) << " and the rest";
    }));
    EXPECT_EQ(Read(from), "first version and the rest");
    EXPECT_EQ(Read(to), "first version");

    // Open for writing elsewhere, even without a byte written yet.
    fs::remove(to);
    int writer = -1;
    EXPECT_FALSE(platform::CopyThenRemove(
        from, to, [&] { writer = ::open(from.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC); }));
    EXPECT_TRUE(fs::exists(from));
    EXPECT_FALSE(fs::exists(to)) << "the letter, unchanged, is in two places";
    if (writer >= 0) ::close(writer);
    // Once nobody writes it, the move goes through.
    fs::remove(to);
    EXPECT_TRUE(platform::CopyThenRemove(from, to));
    EXPECT_FALSE(fs::exists(from));
}

TEST_F(RacedMove, TemporariesLeftByAKilledMoveGoWhenTheFolderIsNextUsed) {
    dir.write(".dorvel-move-ab12CD", "half a letter");
    dir.write(".dorvel-move-busy01", "a move in progress");
    const int busy = ::open((dir / ".dorvel-move-busy01").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(busy, LOCK_EX), 0);
    ASSERT_TRUE(platform::CopyThenRemove(from, to));
    EXPECT_FALSE(fs::exists(dir / ".dorvel-move-ab12CD"));
    EXPECT_TRUE(fs::exists(dir / ".dorvel-move-busy01")) << "a live move's temporary stays";
    ::close(busy);
}

namespace {

// A move that ends between putting its copy in place and removing its
// source, as a kill at that moment ends it: in a child, which exits there.
void StopAfterTheCopy(const std::string& from, const std::string& to) {
    const pid_t child = ::fork();
    if (child == 0) {
        (void)platform::CopyThenRemove(from, to, [] { ::_exit(0); });
        ::_exit(1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
}

}  // namespace

TEST_F(RacedMove, AMoveStoppedAfterItsCopyIsFinishedOnlyWhileTheLetterIsUnchanged) {
    StopAfterTheCopy(from, to);
    ASSERT_TRUE(fs::exists(from) && fs::exists(to));
    // Deleting it again finishes the first move instead of making a second
    // copy under the next number.
    EXPECT_FALSE(platform::HostPlatform().move(from, dir / "letter.doc.1"));
    EXPECT_FALSE(fs::exists(from));
    EXPECT_EQ(Read(to), "first version");
    EXPECT_FALSE(fs::exists(dir / "letter.doc.1"));

    // A letter written again since, even to the same length, stays.
    fs::remove(to);
    Write(from, "first version");
    StopAfterTheCopy(from, to);
    Write(from, "fresh version");
    Write(source + "/other.doc", "other");
    ASSERT_TRUE(platform::CopyThenRemove(source + "/other.doc", dir / "other.doc"));
    EXPECT_EQ(Read(from), "fresh version");
    EXPECT_EQ(Read(to), "first version");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator{}), 2)
        << "the note stayed";
}

TEST_F(RacedMove, AStoppedMoveWhoseLetterIsOpenElsewhereWaitsForALaterMove) {
    StopAfterTheCopy(from, to);
    const int reader = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    Write(source + "/other.doc", "other");
    ASSERT_TRUE(platform::CopyThenRemove(source + "/other.doc", dir / "other.doc"));
    EXPECT_TRUE(fs::exists(from)) << "a letter open elsewhere went";
    ::close(reader);
    Write(source + "/third.doc", "third");
    ASSERT_TRUE(platform::CopyThenRemove(source + "/third.doc", dir / "third.doc"));
    EXPECT_FALSE(fs::exists(from)) << "the note was dropped while the letter was open";
    EXPECT_EQ(Read(to), "first version");
}

TEST_F(RacedMove, AStoppedMoveIsFinishedThoughTheCopysTimeWasRounded) {
    // A FAT folder keeps a modification time to two seconds.
    StopAfterTheCopy(from, to);
    const timespec rounded[2] = {{1'733'700'000, 0}, {1'733'700'000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, to.c_str(), rounded, 0), 0);
    Write(source + "/other.doc", "other");
    ASSERT_TRUE(platform::CopyThenRemove(source + "/other.doc", dir / "other.doc"));
    EXPECT_FALSE(fs::exists(from));
    EXPECT_EQ(Read(to), "first version");
}

TEST_F(RacedMove, ANoteWhoseSourceIsTheCopyItselfDeletesNothing) {
    // The same file by another path, through a linked folder.
    Write(to, "the only copy");
    fs::create_directory_symlink(dir.path(), source + "/linked");
    const std::string text = source + "/linked/letter.doc" + std::string(1, '\0') + to + '\0';
    dir.write(".dorvel-moved-forged", text);
    Write(source + "/other.doc", "other");
    ASSERT_TRUE(platform::CopyThenRemove(source + "/other.doc", dir / "other.doc"));
    EXPECT_EQ(Read(to), "the only copy");
}

TEST_F(RacedMove, AProgramOpeningTheLetterAgainAndAgainNeverEndsTheMove) {
    // An open during the move's lease on the letter breaks the lease, and
    // the system signals the mover so.
    const pid_t reader = ::fork();
    if (reader == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlives the test
        for (;;) {
            const int fd = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd >= 0) ::close(fd);
        }
    }
    ASSERT_GT(reader, 0);
    struct Reaped {
        pid_t pid;
        ~Reaped() {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    } reaped{reader};
    int ended = 0, moved = 0;
    for (int run = 0; run < 300; ++run) {
        fs::remove(to);
        Write(from, "letter " + std::to_string(run));
        const pid_t mover = ::fork();
        if (mover == 0) ::_exit(platform::CopyThenRemove(from, to) ? 0 : 1);
        int status = 0;
        ::waitpid(mover, &status, 0);
        ended += WIFSIGNALED(status);
        moved += WIFEXITED(status) && WEXITSTATUS(status) == 0;
        // A mover ended midway is a kill, whose leftovers the next move
        // clears; that none is ended is the point here.
        if (!WIFSIGNALED(status)) {
            ASSERT_NE(fs::exists(from), fs::exists(to)) << "run " << run << ": not in one place";
        }
    }
    EXPECT_EQ(ended, 0) << "moves ended by a signal";
    std::cout << "moves beside a reader: " << moved << " of 300 done, the rest left in place\n";
}

TEST_F(RacedMove, ALetterTheUserMayNotRemoveStaysAloneAndTheCopyGoes) {
    // A letters folder the user may read but not write. Root may write any
    // folder: the move then runs as an ordinary user.
    ASSERT_EQ(::chmod(source.c_str(), 0755), 0);
    ASSERT_EQ(::chmod(from.c_str(), 0644), 0);
    ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
    const pid_t mover = ::fork();
    if (mover == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
        if (::geteuid() != 0) ::chmod(source.c_str(), 0555);
        ::_exit(platform::CopyThenRemove(from, to) ? 0 : 1);
    }
    int status = 0;
    ::waitpid(mover, &status, 0);
    ::chmod(source.c_str(), 0755);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1) << "the move said it was done";
    EXPECT_EQ(Read(from), "first version");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator{}), 0)
        << "the letter is in two places, or a note or a temporary stayed";
}

TEST_F(RacedMove, ANoteNamingACopyInAnotherFolderTouchesNothing) {
    // Only a move into this very folder is ever finished from it.
    Write(source + "/elsewhere.doc", "first version");
    const std::string text = from + std::string(1, '\0') + source + "/elsewhere.doc" + '\0';
    dir.write(".dorvel-moved-forged", text);
    Write(source + "/other.doc", "other");
    ASSERT_TRUE(platform::CopyThenRemove(source + "/other.doc", dir / "other.doc"));
    EXPECT_EQ(Read(from), "first version");
    EXPECT_FALSE(fs::exists(dir / ".dorvel-moved-forged"));
}

TEST_F(RacedMove, RacedByAWriterAHundredTimesTheLetterIsAlwaysWholeSomewhere) {
    std::mt19937 random(20261209);
    const std::string chunk(4096, 'w');
    int movedWhole = 0, leftInPlace = 0;
    for (int run = 0; run < 100; ++run) {
        fs::remove(to);
        const std::string initial = "letter " + std::to_string(run) + "\n";
        Write(from, initial);
        const int chunks = 1 + static_cast<int>(random() % 20);
        const int pause = static_cast<int>(random() % 400);
        const pid_t writer = ::fork();
        if (writer == 0) {
            // Another program still writing the letter, in pieces.
            const int fd = ::open(from.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
            if (fd < 0) ::_exit(3);
            for (int i = 0; i < chunks; ++i) {
                if (::write(fd, chunk.data(), chunk.size()) < 0) ::_exit(4);
                ::usleep(static_cast<useconds_t>(pause));
            }
            ::_exit(::close(fd) == 0 ? 0 : 5);
        }
        ::usleep(static_cast<useconds_t>(random() % 3000));
        (void)platform::CopyThenRemove(from, to);
        int status = 0;
        ::waitpid(writer, &status, 0);
        ASSERT_TRUE(WIFEXITED(status))
            << "run " << run << ": the writer ended by signal " << WTERMSIG(status);
        std::string expected = initial;
        if (WEXITSTATUS(status) == 0) {
            for (int i = 0; i < chunks; ++i) expected += chunk;
        }
        if (fs::exists(from)) {
            ASSERT_EQ(Read(from), expected) << "run " << run << ": the source was cut";
            ++leftInPlace;
        } else {
            ASSERT_EQ(Read(to), expected) << "run " << run << ": the moved letter is not whole";
            ++movedWhole;
        }
    }
    std::cout << "raced moves: " << movedWhole << " moved whole, " << leftInPlace
              << " left whole in place\n";
}
