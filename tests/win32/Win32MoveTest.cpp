// Moves to another drive on Windows: the letter is held against other
// programs while it is copied, arrives whole or not at all, and leaves its
// folder only once it has. The second drive is the one DORVEL_OTHER_DRIVE
// names (the Wine suites map one onto another file system).

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <iostream>
#include <random>

#include "TempDir.h"
#include "platform/Platform.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Platform.h"
#include "win32/KilledWorker.h"

using namespace dorvel;
using fakes::TempDir;
namespace fs = std::filesystem;

namespace {

std::string OtherDrive() {
    wchar_t drive[64] = {};
    if (::GetEnvironmentVariableW(L"DORVEL_OTHER_DRIVE", drive, 64) == 0) return {};
    return platform::Utf8(drive);
}

bool Exists(const std::string& path) { return fs::exists(platform::Wide(path)); }

std::string Read(const std::string& path) {
    std::ifstream in(fs::path(platform::Wide(path)), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void Write(const std::string& path, const std::string& text) {
    std::ofstream(fs::path(platform::Wide(path)), std::ios::binary | std::ios::trunc) << text;
}

// Anything but the named entries in the folder, hidden ones included.
std::vector<std::string> Others(const std::string& folder, const std::vector<std::string>& known) {
    std::vector<std::string> others;
    for (const auto& e : fs::directory_iterator(platform::Wide(folder))) {
        const std::string name = platform::Utf8(e.path().filename().wstring());
        if (std::find(known.begin(), known.end(), name) == known.end()) others.push_back(name);
    }
    return others;
}

// A letter on the other drive, to be moved into a deleted-files folder on
// this one.
class MoveAcrossDrives : public ::testing::Test {
protected:
    void SetUp() override {
        if (OtherDrive().empty()) GTEST_SKIP() << "no second drive (DORVEL_OTHER_DRIVE)";
        source = std::make_unique<TempDir>(OtherDrive());
        ASSERT_TRUE(source->made());
        from = *source / "letter.doc";
        to = deleted / "letter.doc";
        Write(from, "first version");
    }

    std::unique_ptr<TempDir> source;
    TempDir deleted;
    std::string from, to;
};

}  // namespace

TEST_F(MoveAcrossDrives, TheLetterArrivesWholeWithItsTimeAndLeavesNothingBehind) {
    const std::string letter(3 << 20, 'L');
    Write(from, letter);
    const HANDLE file = ::CreateFileW(platform::Wide(from).c_str(), FILE_WRITE_ATTRIBUTES, 0,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    FILETIME lastYear{0x5A5A0000, 0x01DB4A00};
    ::SetFileTime(file, nullptr, nullptr, &lastYear);
    ::CloseHandle(file);
    ASSERT_TRUE(platform::HostPlatform().move(from, to));
    EXPECT_EQ(Read(to), letter);
    EXPECT_FALSE(Exists(from));
    WIN32_FILE_ATTRIBUTE_DATA moved{};
    ASSERT_TRUE(::GetFileAttributesExW(platform::Wide(to).c_str(), GetFileExInfoStandard, &moved));
    EXPECT_EQ(moved.ftLastWriteTime.dwHighDateTime, lastYear.dwHighDateTime);
    EXPECT_EQ(moved.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_EQ(Others(deleted.path(), {"letter.doc"}), std::vector<std::string>{});
    EXPECT_EQ(Others(source->path(), {}), std::vector<std::string>{});
}

TEST_F(MoveAcrossDrives, ALetterOpenForWritingElsewhereStaysWhereItIs) {
    // Another program appends to the letter and shares everything.
    const HANDLE writer = ::CreateFileW(platform::Wide(from).c_str(), FILE_APPEND_DATA,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(platform::HostPlatform().move(from, to).code(), ERROR_SHARING_VIOLATION);
    DWORD put = 0;
    EXPECT_TRUE(::WriteFile(writer, " and the rest", 13, &put, nullptr));
    ::CloseHandle(writer);
    EXPECT_EQ(Read(from), "first version and the rest");
    EXPECT_EQ(Others(deleted.path(), {}), std::vector<std::string>{}) << "a copy was left";
}

TEST_F(MoveAcrossDrives, NoProgramCanReplaceOrExtendTheLetterWhileItIsCopied) {
    Write(from + ".new", "second version");
    DWORD replaceRefused = 0, writeRefused = 0;
    ASSERT_TRUE(platform::CopyThenRemove(from, to, [&] {
        // Another program saves over the letter, or opens it to append.
        if (!::MoveFileExW(platform::Wide(from + ".new").c_str(), platform::Wide(from).c_str(),
                           MOVEFILE_REPLACE_EXISTING)) {
            replaceRefused = ::GetLastError();
        }
        const HANDLE writer = ::CreateFileW(platform::Wide(from).c_str(), FILE_APPEND_DATA,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                            nullptr, OPEN_EXISTING, 0, nullptr);
        if (writer == INVALID_HANDLE_VALUE) {
            writeRefused = ::GetLastError();
        } else {
            ::CloseHandle(writer);
        }
    }));
    EXPECT_NE(replaceRefused, 0u) << "the letter was replaced during its move";
    EXPECT_NE(writeRefused, 0u) << "the letter was opened for writing during its move";
    EXPECT_EQ(Read(to), "first version");
    EXPECT_EQ(Read(from + ".new"), "second version") << "the new version was lost";
    EXPECT_FALSE(Exists(from));
}

TEST_F(MoveAcrossDrives, ALetterThatMayNotBeDeletedStaysAndTheCopyGoes) {
    ::SetFileAttributesW(platform::Wide(from).c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(platform::HostPlatform().move(from, to));
    ::SetFileAttributesW(platform::Wide(from).c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(Read(from), "first version");
    EXPECT_FALSE(Exists(to)) << "the letter is in two places";
    EXPECT_EQ(Others(deleted.path(), {}), std::vector<std::string>{});
}

TEST_F(MoveAcrossDrives, ANameTakenMeanwhileIsNeverReplacedAndNoCopyStays) {
    deleted.write("letter.doc", "an earlier deleted letter");
    EXPECT_EQ(platform::HostPlatform().move(from, to).code(), platform::kAlreadyExists);
    EXPECT_EQ(Read(to), "an earlier deleted letter");
    EXPECT_EQ(Read(from), "first version");
    EXPECT_EQ(Others(deleted.path(), {"letter.doc"}), std::vector<std::string>{});
}

TEST_F(MoveAcrossDrives, TemporariesOfAKilledMoveGoWhenTheFolderIsNextUsed) {
    deleted.write(".dorvel-move-1-2-3", "half a letter");
    deleted.write(".dorvel-move-busy", "a move in progress");
    const HANDLE busy =
        ::CreateFileW(platform::Wide(deleted / ".dorvel-move-busy").c_str(), GENERIC_WRITE | DELETE,
                      0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(busy, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(platform::HostPlatform().move(from, to));
    EXPECT_FALSE(Exists(deleted / ".dorvel-move-1-2-3"));
    EXPECT_TRUE(Exists(deleted / ".dorvel-move-busy")) << "a live move's temporary went";
    ::CloseHandle(busy);
}

TEST_F(MoveAcrossDrives, KilledAtAnyPointTheLetterIsWholeInExactlyOnePlace) {
    std::string letter(8 << 20, '\0');
    for (std::size_t i = 0; i < letter.size(); ++i) letter[i] = static_cast<char>(i * 7 + i / 4096);
    Write(from, letter);
    const std::string arguments = "move \"" + from + "\" \"" + to + "\"";
    const double took = fakes::RunWorker(arguments, -1);
    ASSERT_GT(took, 0) << "the worker did not start";
    ASSERT_TRUE(Exists(to));
    std::mt19937 random(20261210);
    int completed = 0, twiceAtTheKill = 0;
    const int kills = 500;
    for (int run = 0; run < kills; ++run) {
        ::DeleteFileW(platform::Wide(to).c_str());
        Write(from, letter);
        fakes::RunWorker(arguments, std::uniform_real_distribution<double>(0, took * 1.2)(random));
        const bool inSource = Exists(from), inTarget = Exists(to);
        ASSERT_TRUE(inSource || inTarget) << "run " << run << ": the letter is gone";
        if (inTarget) {
            ASSERT_EQ(Read(to), letter) << "run " << run << ": a partial letter";
        }
        if (inSource) {
            ASSERT_EQ(Read(from), letter) << "run " << run;
        }
        for (const auto& name : Others(deleted.path(), {"letter.doc"})) {
            ASSERT_TRUE(name.rfind(".dorvel-move-", 0) == 0 || name.rfind(".dorvel-moved-", 0) == 0)
                << "run " << run << ": " << name;
        }
        completed += inTarget && !inSource;
        twiceAtTheKill += inTarget && inSource;
        // The next move into the folder finishes a move killed between
        // putting the copy in place and removing the source.
        Write(*source / "next.doc", "next");
        ASSERT_TRUE(platform::HostPlatform().move(*source / "next.doc", deleted / "next.doc"));
        ::DeleteFileW(platform::Wide(deleted / "next.doc").c_str());
        ASSERT_FALSE(Exists(from) && Exists(to))
            << "run " << run << ": the letter is in two places";
        ASSERT_TRUE(Exists(from) || Exists(to)) << "run " << run << ": the letter is gone";
        ASSERT_EQ(Others(deleted.path(), {"letter.doc"}), std::vector<std::string>{})
            << "run " << run;
    }
    std::cout << "kills: " << kills << ", moves done before the kill: " << completed
              << ", in two places at the kill and finished by the next move: " << twiceAtTheKill
              << "\n";
}

// A move stopped between putting the copy in place and removing the source,
// as a kill stops it: the copy's handles close, the source is not flagged.
struct Stopped {};
void StopAfterTheCopy(const std::string& from, const std::string& to) {
    try {
        (void)platform::CopyThenRemove(from, to, [] { throw Stopped{}; });
    } catch (const Stopped&) {
    }
}

TEST_F(MoveAcrossDrives, AMoveStoppedAfterItsCopyIsFinishedOnlyWhileTheLetterIsUnchanged) {
    auto& host = platform::HostPlatform();
    StopAfterTheCopy(from, to);
    ASSERT_TRUE(Exists(from) && Exists(to));
    // Deleting it again finishes the first move instead of making a second
    // copy under the next number.
    EXPECT_FALSE(host.move(from, deleted / "letter.doc.1"));
    EXPECT_FALSE(Exists(from));
    EXPECT_EQ(Read(to), "first version");
    EXPECT_FALSE(Exists(deleted / "letter.doc.1"));
    EXPECT_EQ(Others(deleted.path(), {"letter.doc"}), std::vector<std::string>{});

    // A letter written again since, even to the same length, stays.
    ::DeleteFileW(platform::Wide(to).c_str());
    Write(from, "first version");
    StopAfterTheCopy(from, to);
    Write(from, "fresh version");
    Write(*source / "other.doc", "other");
    ASSERT_TRUE(host.move(*source / "other.doc", deleted / "other.doc"));
    EXPECT_EQ(Read(from), "fresh version");
    EXPECT_EQ(Read(to), "first version");
    EXPECT_EQ(Others(deleted.path(), {"letter.doc", "other.doc"}), std::vector<std::string>{});
}

TEST_F(MoveAcrossDrives, AStoppedMoveWhoseLetterIsHeldWaitsForALaterMove) {
    auto& host = platform::HostPlatform();
    StopAfterTheCopy(from, to);
    const HANDLE reader = ::CreateFileW(platform::Wide(from).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                        nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    Write(*source / "other.doc", "other");
    ASSERT_TRUE(host.move(*source / "other.doc", deleted / "other.doc"));
    EXPECT_TRUE(Exists(from)) << "a held letter went";
    ::CloseHandle(reader);
    Write(*source / "third.doc", "third");
    ASSERT_TRUE(host.move(*source / "third.doc", deleted / "third.doc"));
    EXPECT_FALSE(Exists(from)) << "the note was dropped while the letter was held";
    EXPECT_EQ(Read(to), "first version");
}

TEST_F(MoveAcrossDrives, ALetterThatIsALinkNeverTakesTheFileItPointsTo) {
    // A letter that is a symbolic link to a file outside the letters folder.
    Write(*source / "elsewhere.doc", "not a letter");
    ::DeleteFileW(platform::Wide(from).c_str());
    if (!::CreateSymbolicLinkW(platform::Wide(from).c_str(),
                               platform::Wide(*source / "elsewhere.doc").c_str(),
                               SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) ||
        (::GetFileAttributesW(platform::Wide(from).c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        // Wine shows a link of the host's as the file it points to.
        GTEST_SKIP() << "no symbolic link that the system shows as one";
    }
    (void)platform::HostPlatform().move(from, to);
    EXPECT_EQ(Read(*source / "elsewhere.doc"), "not a letter") << "the linked file went";
}

TEST_F(MoveAcrossDrives, AStoppedMoveOfAReadOnlyLetterEndsWithTheLetterInOnePlace) {
    StopAfterTheCopy(from, to);
    ASSERT_TRUE(::SetFileAttributesW(platform::Wide(from).c_str(), FILE_ATTRIBUTE_READONLY));
    Write(*source / "other.doc", "other");
    ASSERT_TRUE(platform::HostPlatform().move(*source / "other.doc", deleted / "other.doc"));
    EXPECT_EQ(Read(from), "first version");
    EXPECT_FALSE(Exists(to)) << "the letter is in two places";
    ::SetFileAttributesW(platform::Wide(from).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(MoveOnWindows, ALinkThatPointsNowhereTakesItsNameAndIsNeverReplaced) {
    TempDir dir;
    dir.write("REPORT.DOC", "letter");
    const std::string link = dir / "taken.doc";
    if (!fakes::MakeLinuxLink(L"/nowhere/at/all", platform::Wide(link)) &&
        !::CreateSymbolicLinkW(platform::Wide(link).c_str(), L"C:\\nowhere\\at\\all",
                               SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE)) {
        GTEST_SKIP() << "no right to make links";
    }
    auto& host = platform::HostPlatform();
    const auto info = host.inspect(link);
    ASSERT_TRUE(info) << "a dangling link was not seen";
    EXPECT_FALSE(info->isFolder);
    EXPECT_EQ(host.move(dir / "REPORT.DOC", link).code(), platform::kAlreadyExists);
    EXPECT_EQ(dir.read("REPORT.DOC"), "letter");
    EXPECT_FALSE(host.inspect(dir / "free.doc")) << "looking made a file";
    EXPECT_FALSE(Exists(dir / "free.doc"));
}

// The three ways another program meets a letter being moved, a hundred
// times each: it saves a new version over it, appends to it, or holds it
// open for writing from before. None of their bytes may be lost.
TEST_F(MoveAcrossDrives, AHundredRacesOfEachKindLoseNothing) {
    int refusedReplace = 0, refusedAppend = 0, leftHeld = 0;
    for (int run = 0; run < 100; ++run) {
        const std::string letter = "letter " + std::to_string(run);
        ::DeleteFileW(platform::Wide(to).c_str());
        Write(from, letter);
        Write(from + ".new", "new " + letter);
        (void)platform::CopyThenRemove(from, to, [&] {
            refusedReplace +=
                !::MoveFileExW(platform::Wide(from + ".new").c_str(), platform::Wide(from).c_str(),
                               MOVEFILE_REPLACE_EXISTING);
        });
        ASSERT_EQ(Read(to), letter) << "run " << run;
        ASSERT_EQ(Read(from + ".new"), "new " + letter) << "run " << run << ": new version lost";
        ::DeleteFileW(platform::Wide(from + ".new").c_str());

        ::DeleteFileW(platform::Wide(to).c_str());
        Write(from, letter);
        std::string appended;
        (void)platform::CopyThenRemove(from, to, [&] {
            const HANDLE writer =
                ::CreateFileW(platform::Wide(from).c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
            if (writer == INVALID_HANDLE_VALUE) {
                ++refusedAppend;
                return;
            }
            DWORD put = 0;
            ::WriteFile(writer, " more", 5, &put, nullptr);
            appended = " more";
            ::CloseHandle(writer);
        });
        const std::string wanted = letter + appended;
        ASSERT_TRUE((Exists(to) && Read(to) == wanted) || (Exists(from) && Read(from) == wanted))
            << "run " << run << ": appended bytes lost";

        ::DeleteFileW(platform::Wide(to).c_str());
        Write(from, letter);
        const HANDLE holder = ::CreateFileW(platform::Wide(from).c_str(), GENERIC_WRITE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                            nullptr, OPEN_EXISTING, 0, nullptr);
        leftHeld += !platform::CopyThenRemove(from, to);
        DWORD put = 0;
        ::SetFilePointer(holder, 0, nullptr, FILE_END);
        ::WriteFile(holder, " held", 5, &put, nullptr);
        ::CloseHandle(holder);
        ASSERT_EQ(Read(from), letter + " held") << "run " << run << ": the held letter was cut";
        ASSERT_FALSE(Exists(to)) << "run " << run << ": a held letter was copied away";
    }
    EXPECT_EQ(refusedReplace, 100);
    EXPECT_EQ(refusedAppend, 100);
    EXPECT_EQ(leftHeld, 100);
}
