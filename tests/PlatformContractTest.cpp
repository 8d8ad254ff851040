// What every implementation of the platform promises, held against the fake
// and the real one alike, so that the fake the suites run on cannot drift
// from the system the program runs on.

#include <gtest/gtest.h>
#include <poll.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "FakePlatform.h"
#include "TempDir.h"
#include "platform/PosixPlatform.h"

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
    void file(const std::string& path, const std::string& text) { platform.files[path] = text; }
    void folder(const std::string& path) { platform.directories.insert(path); }
    std::optional<std::string> read(const std::string& path) {
        const auto it = platform.files.find(path);
        if (it == platform.files.end()) return std::nullopt;
        return it->second;
    }
    // The fake's programs end at once.
    void waitFor(const platform::Platform::Child&) {}
};

// The real system, in a scratch folder.
struct PosixWorld {
    platform::PosixPlatform platform;
    fakes::TempDir dir;
    std::string root = dir.path();
    void file(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    void folder(const std::string& path) { fs::create_directory(path); }
    std::optional<std::string> read(const std::string& path) {
        if (!fs::is_regular_file(path)) return std::nullopt;
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void waitFor(const platform::Platform::Child& child) {
        if (child.pidfd < 0) return;
        pollfd ended{child.pidfd, POLLIN, 0};
        ::poll(&ended, 1, 10'000);
    }
};

template <typename World>
class PlatformContract : public ::testing::Test {
protected:
    World world;
    platform::Platform& platform() { return world.platform; }
    std::string at(const std::string& name) const { return world.root + "/" + name; }
};

using Worlds = ::testing::Types<FakeWorld, PosixWorld>;
TYPED_TEST_SUITE(PlatformContract, Worlds);

}  // namespace

TYPED_TEST(PlatformContract, AFolderIsCreatedOneLevelAtATimeWithTheWindowsNumbers) {
    auto& p = this->platform();
    EXPECT_EQ(p.createDirectory(this->at("missing/child")), 3) << "a missing parent gives 3";
    EXPECT_FALSE(p.isDirectory(this->at("missing")));
    EXPECT_EQ(p.createDirectory(this->at("new")), 0);
    EXPECT_TRUE(p.isDirectory(this->at("new")));
    EXPECT_NE(p.createDirectory(this->at("new")), 0) << "a folder that is there is not made again";
    this->world.file(this->at("taken"), "x");
    EXPECT_NE(p.createDirectory(this->at("taken")), 0);
    EXPECT_EQ(this->world.read(this->at("taken")), "x");
}

TYPED_TEST(PlatformContract, AMoveNeverReplacesWhatIsAtTheTarget) {
    auto& p = this->platform();
    this->world.file(this->at("letter"), "mine");
    this->world.file(this->at("target"), "theirs");
    EXPECT_FALSE(p.moveNoReplace(this->at("letter"), this->at("target")));
    EXPECT_NE(p.renameNoReplace(this->at("letter"), this->at("target")), 0);
    EXPECT_EQ(this->world.read(this->at("target")), "theirs");
    EXPECT_EQ(this->world.read(this->at("letter")), "mine");
    EXPECT_TRUE(p.moveNoReplace(this->at("letter"), this->at("free")));
    EXPECT_EQ(this->world.read(this->at("free")), "mine");
    EXPECT_FALSE(p.exists(this->at("letter")));
}

TYPED_TEST(PlatformContract, FilesFoldersAndHiddenEntriesAreToldApart) {
    auto& p = this->platform();
    this->world.folder(this->at("box"));
    this->world.folder(this->at("box/sub"));
    this->world.file(this->at("box/a.doc"), "a");
    this->world.file(this->at("box/.hidden"), "h");
    EXPECT_TRUE(p.isFile(this->at("box/a.doc")));
    EXPECT_FALSE(p.isFile(this->at("box/sub")));
    EXPECT_FALSE(p.isFile(this->at("box/none")));
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
    EXPECT_EQ(p.readWholeFile(this->at("f"), 100), std::string("a\0b", 3));
    EXPECT_EQ(p.readWholeFile(this->at("f"), 2), std::nullopt);
    EXPECT_EQ(p.readWholeFile(this->at("d"), 100), std::nullopt);
    EXPECT_EQ(p.readWholeFile(this->at("none"), 100), std::nullopt);
}

TYPED_TEST(PlatformContract, ARefusedSettingsWriteLeavesWhatWasThere) {
    auto& p = this->platform();
    EXPECT_TRUE(p.replaceFile(this->at("dorvel.ini"), "one"));
    EXPECT_TRUE(p.replaceFile(this->at("dorvel.ini"), "two"));
    EXPECT_EQ(this->world.read(this->at("dorvel.ini")), "two");
    this->world.folder(this->at("folder.ini"));
    EXPECT_FALSE(p.replaceFile(this->at("folder.ini"), "x")) << "a folder in the file's place";
    EXPECT_TRUE(p.isDirectory(this->at("folder.ini")));
}

TYPED_TEST(PlatformContract, AStartedProgramCanBeAwaitedAndReleased) {
    auto& p = this->platform();
    EXPECT_EQ(p.startProcess({this->at("no-such-tool"), "-X"}), std::nullopt);
    const auto child = p.startProcess({"/bin/true"});
    ASSERT_TRUE(child.has_value());
    this->world.waitFor(*child);
    EXPECT_TRUE(p.release(*child)) << "an ended program is collected when released";
}
