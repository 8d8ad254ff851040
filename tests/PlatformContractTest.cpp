// What every implementation of the platform promises, held against the fake
// and the real one alike, so that the fake the suites run on cannot drift
// from the system the program runs on.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <thread>

#include "FakePlatform.h"
#include "TempDir.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/Win32Platform.h"
#else
#include <poll.h>

#include "platform/posix/PosixPlatform.h"
#endif

using namespace dorvel;
namespace fs = std::filesystem;

namespace {

// The fake with its own world in memory.
struct FakeWorld {
    fakes::FakePlatform platform;
    std::string root = "/world";
    FakeWorld() {
        platform.directories.insert("/");
        platform.directories.insert(root);
        platform.files["/bin/true"] = "";
    }
    std::string at(const std::string& name) const { return root + "/" + name; }
    void file(const std::string& path, const std::string& text) { platform.files[path] = text; }
    void folder(const std::string& path) { platform.directories.insert(path); }
    void remove(const std::string& path) { platform.files.erase(path); }
    std::optional<std::string> read(const std::string& path) {
        const auto it = platform.files.find(path);
        if (it == platform.files.end()) return std::nullopt;
        return it->second;
    }
    std::string quickProgram() const { return "/bin/true"; }
    // The fake's programs end at once.
    void waitFor(const platform::Process&) {}
};

// The real system, in a scratch folder.
template <typename System>
struct RealWorld {
    System platform;
    fakes::TempDir dir;
    std::string at(const std::string& name) const { return dir / name; }
    void file(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    void folder(const std::string& path) { fs::create_directory(path); }
    void remove(const std::string& path) { fs::remove(path); }
    std::optional<std::string> read(const std::string& path) {
        if (!fs::is_regular_file(path)) return std::nullopt;
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
#ifdef _WIN32
    // A program every Windows has, that ends at once.
    std::string quickProgram() const {
        return platform.environment("SystemRoot").value_or("C:\\windows") +
               "\\system32\\hostname.exe";
    }
    void waitFor(const platform::Process& process) {
        const auto waitable = process.waitable();
        if (waitable == platform::Process::kNothingToWaitOn) return;
        ::WaitForSingleObject(reinterpret_cast<HANDLE>(waitable), 10'000);
    }
#else
    std::string quickProgram() const { return "/bin/true"; }
    void waitFor(const platform::Process& process) {
        const auto waitable = process.waitable();
        if (waitable == platform::Process::kNothingToWaitOn) return;
        pollfd ended{static_cast<int>(waitable), POLLIN, 0};
        ::poll(&ended, 1, 10'000);
    }
#endif
};

#ifdef _WIN32
using SystemWorld = RealWorld<platform::Win32Platform>;
#else
using SystemWorld = RealWorld<platform::PosixPlatform>;
#endif

template <typename World>
class PlatformContract : public ::testing::Test {
protected:
    World world;
    platform::Platform& platform() { return world.platform; }
    std::string at(const std::string& name) const { return world.at(name); }
    bool isFolder(const std::string& path) {
        const auto info = platform().inspect(path);
        return info && info->isFolder;
    }
    platform::Command hidden(std::vector<std::string> arguments) {
        platform::Command command;
        command.arguments = std::move(arguments);
        command.hidden = true;
        return command;
    }
};

using Worlds = ::testing::Types<FakeWorld, SystemWorld>;

// Notices may come a moment after the change that caused them.
template <typename Condition>
bool Soon(Condition condition) {
    for (int i = 0; i < 100; ++i) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}
TYPED_TEST_SUITE(PlatformContract, Worlds);

}  // namespace

TYPED_TEST(PlatformContract, AFolderIsCreatedOneLevelAtATimeWithTheWindowsNumbers) {
    auto& p = this->platform();
    EXPECT_EQ(p.createFolder(this->at("missing/child")).code(), platform::kPathNotFound)
        << "a missing parent gives 3";
    EXPECT_FALSE(this->isFolder(this->at("missing")));
    EXPECT_TRUE(p.createFolder(this->at("new")));
    EXPECT_TRUE(this->isFolder(this->at("new")));
    EXPECT_EQ(p.createFolder(this->at("new")).code(), platform::kAlreadyExists)
        << "a folder that is there is not made again";
    this->world.file(this->at("taken"), "x");
    EXPECT_EQ(p.createFolder(this->at("taken")).code(), platform::kAlreadyExists);
    EXPECT_EQ(this->world.read(this->at("taken")), "x");
}

TYPED_TEST(PlatformContract, AFolderNoticeTellsOfEntriesAddedRenamedAndRemovedAndIsQuietOtherwise) {
    auto& p = this->platform();
    this->world.folder(this->at("watched"));
    this->world.folder(this->at("other"));
    this->world.file(this->at("watched/a"), "x");
    EXPECT_FALSE(p.noticeChanges(this->at("missing"))) << "a folder that is not there";
    const auto notice = p.noticeChanges(this->at("watched"));
    ASSERT_TRUE(notice) << "a local folder gives notices";
    auto quiet = [&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        (void)notice->changed();  // what the last step still had in flight
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        return !notice->changed();
    };
    EXPECT_TRUE(quiet()) << "nothing happened";
    this->world.file(this->at("other/elsewhere"), "x");
    EXPECT_TRUE(quiet()) << "another folder's change";

    this->world.file(this->at("watched/b"), "y");
    EXPECT_TRUE(Soon([&] { return notice->changed(); })) << "an entry added";
    EXPECT_TRUE(quiet());
    ASSERT_TRUE(p.move(this->at("watched/b"), this->at("watched/c")));
    EXPECT_TRUE(Soon([&] { return notice->changed(); })) << "an entry renamed";
    EXPECT_TRUE(quiet());
    this->world.remove(this->at("watched/a"));
    EXPECT_TRUE(Soon([&] { return notice->changed(); })) << "an entry removed";
}

TYPED_TEST(PlatformContract, AMoveNeverReplacesWhatIsAtTheTarget) {
    auto& p = this->platform();
    this->world.file(this->at("letter"), "mine");
    this->world.file(this->at("target"), "theirs");
    const auto refused = p.move(this->at("letter"), this->at("target"));
    EXPECT_FALSE(refused);
    EXPECT_EQ(refused.code(), platform::kAlreadyExists);
    EXPECT_EQ(this->world.read(this->at("target")), "theirs");
    EXPECT_EQ(this->world.read(this->at("letter")), "mine");
    EXPECT_TRUE(p.move(this->at("letter"), this->at("free")));
    EXPECT_EQ(this->world.read(this->at("free")), "mine");
    EXPECT_EQ(p.inspect(this->at("letter")).code(), platform::kFileNotFound);
    EXPECT_FALSE(p.move(this->at("letter"), this->at("again"))) << "nothing is there to move";
    this->world.folder(this->at("box"));
    this->world.file(this->at("box/in"), "inside");
    EXPECT_TRUE(p.move(this->at("box"), this->at("crate"))) << "a folder moves whole";
    EXPECT_EQ(this->world.read(this->at("crate/in")), "inside");
}

TYPED_TEST(PlatformContract, FilesFoldersAndHiddenEntriesAreToldApart) {
    auto& p = this->platform();
    this->world.folder(this->at("box"));
    this->world.folder(this->at("box/sub"));
    this->world.file(this->at("box/a.doc"), "abc");
    this->world.file(this->at("box/.hidden"), "h");
#ifdef _WIN32
    // On Windows the attribute hides, not the dot.
    if constexpr (!std::is_same_v<TypeParam, FakeWorld>) {
        ::SetFileAttributesA(this->at("box/.hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
    }
#endif
    const auto file = p.inspect(this->at("box/a.doc"));
    ASSERT_TRUE(file);
    EXPECT_FALSE(file->isFolder);
    EXPECT_EQ(file->size, 3);
    EXPECT_TRUE(this->isFolder(this->at("box/sub")));
    EXPECT_EQ(p.inspect(this->at("box/none")).code(), platform::kFileNotFound);
    std::map<std::string, std::pair<bool, bool>> seen;  // name -> folder, hidden
    EXPECT_TRUE(p.enumerateFolder(this->at("box"), [&](const platform::FolderItem& item) {
        seen[std::string(item.name)] = {item.isFolder, item.hidden};
    }));
    const std::map<std::string, std::pair<bool, bool>> expected{
        {"sub", {true, false}}, {"a.doc", {false, false}}, {".hidden", {false, true}}};
    EXPECT_EQ(seen, expected);
    EXPECT_FALSE(p.enumerateFolder(this->at("nowhere"), [](const platform::FolderItem&) {}));
}

TYPED_TEST(PlatformContract, AWholeFileIsReadWithinItsBoundAndNeverAFolder) {
    auto& p = this->platform();
    this->world.file(this->at("f"), std::string("a\0b", 3));
    this->world.folder(this->at("d"));
    EXPECT_EQ(platform::ReadWholeFile(p, this->at("f"), 100).value_or("?"), std::string("a\0b", 3));
    EXPECT_EQ(platform::ReadWholeFile(p, this->at("f"), 2).code(), platform::kFileTooLarge);
    EXPECT_EQ(platform::ReadWholeFile(p, this->at("d"), 100).code(), platform::kAccessDenied);
    EXPECT_EQ(platform::ReadWholeFile(p, this->at("none"), 100).code(), platform::kFileNotFound);
}

TYPED_TEST(PlatformContract, ARefusedSettingsWriteLeavesWhatWasThere) {
    auto& p = this->platform();
    EXPECT_TRUE(p.replaceFile(this->at("dorvel.ini"), "one"));
    EXPECT_TRUE(p.replaceFile(this->at("dorvel.ini"), "two"));
    EXPECT_EQ(this->world.read(this->at("dorvel.ini")), "two");
    this->world.folder(this->at("folder.ini"));
    EXPECT_FALSE(p.replaceFile(this->at("folder.ini"), "x")) << "a folder in the file's place";
    EXPECT_TRUE(this->isFolder(this->at("folder.ini")));
    EXPECT_FALSE(p.replaceFile(this->at("no folder/dorvel.ini"), "x"));
}

TYPED_TEST(PlatformContract, TheShortPathIsThereOnlyWhileTheFileIs) {
    auto& p = this->platform();
    this->world.file(this->at("letter.doc"), "x");
    const auto path = p.shortPath(this->at("letter.doc"));
    ASSERT_TRUE(path);
    EXPECT_EQ(this->world.read(*path), "x") << "the short form names the same file";
    EXPECT_FALSE(p.shortPath(this->at("gone.doc")));
}

TYPED_TEST(PlatformContract, TheEnvironmentTellsAnUnsetVariable) {
    EXPECT_EQ(this->platform().environment("DORVEL_NEVER_SET_ANYWHERE").code(),
              platform::kEnvironmentVariableNotFound);
}

TYPED_TEST(PlatformContract, AStartedProgramCanBeAwaitedAndReleased) {
    auto& p = this->platform();
    EXPECT_FALSE(p.start(this->hidden({this->at("no-such-tool"), "-X"})));
    auto process = p.start(this->hidden({this->world.quickProgram()}));
    ASSERT_TRUE(process);
    this->world.waitFor(*process);
    EXPECT_TRUE(process->hasEnded());
    EXPECT_EQ(process->waitable(), platform::Process::kNothingToWaitOn)
        << "nothing is left to wait on once it has ended";
}
