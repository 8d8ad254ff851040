#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>

#include "FakePlatform.h"
#include "TempDir.h"
#include "core/FolderListing.h"
#include "core/FolderSource.h"
#include "core/LettersWatch.h"
#include "core/Messages.h"
#include "platform/Platform.h"

using namespace dorvel;
using core::FolderListing;
using dorvel::fakes::TempDir;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> Names(const FolderListing& listing) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < listing.count(); ++i) names.emplace_back(listing.name(i));
    return names;
}

class FolderListingTest : public ::testing::Test {
protected:
    FolderListingTest() : letters(platform::HostPlatform()), shadow(platform::HostPlatform()) {}
    void touch(const std::string& name, const std::string& contents = "x") {
        dir.write(name, contents);
    }
    void rootAtDir() { letters.setRoot(dir.path()); }

    TempDir dir;
    FolderListing letters;
    FolderListing shadow;
};

using Names_ = std::vector<std::string>;

// A source with one folder outside the file system, "rfMachine", whose
// entries come in an order and under names of its own. Its "Letters" entry
// opens a folder of the file system, and above the file system's top lies
// the machine again. The test changes the machine's entries as it goes.
struct Machine {
    struct Entry {
        std::string name;
        std::string path;
        std::string key;
        bool isFolder;
        bool canRename;
    };
    std::vector<Entry> entries;
    std::string letters;  // the folder "Letters" opens
    int renames = 0;
};

class MachineSource : public core::FileSystemSource {
public:
    explicit MachineSource(Machine& machine)
        : FileSystemSource(platform::HostPlatform()), machine_(machine) {}

    static core::FolderPlace Top() { return core::FolderPlace{"machine", true}; }

    std::optional<core::FolderPlace> placeForRoot(const std::string& text) const override {
        if (text == "rfMachine") return Top();
        return std::nullopt;
    }
    bool list(const core::FolderPlace& place, core::FolderContents& contents) override {
        if (!place.outside) return FileSystemSource::list(place, contents);
        if (place != Top()) return false;
        for (const auto& e : machine_.entries) {
            contents.add(core::OutsideEntry{e.name, e.path, e.key, e.isFolder, e.canRename});
        }
        contents.keepOrder();
        return true;
    }
    std::string title(const core::FolderPlace& place) const override {
        return place.outside ? "The machine" : place.folder;
    }
    std::optional<core::FolderPlace> parentOf(const core::FolderPlace& place) const override {
        if (place.outside) return std::nullopt;
        return Top();
    }
    std::optional<core::FolderPlace> childOf(const core::FolderPlace& place,
                                             std::string_view key) const override {
        if (place == Top() && key == "k-letters") return core::FolderPlace{machine_.letters};
        return std::nullopt;
    }
    bool rename(const core::FolderPlace& place, std::string_view key, std::string_view newName,
                core::FolderContents& renamed) override {
        ++machine_.renames;
        if (place != Top() || newName == "refused") return false;
        for (auto& e : machine_.entries) {
            if (e.key != key) continue;
            e.name = std::string(newName);
            e.path = "machine:" + e.name;
            e.key = "k-" + e.name;
            renamed.add(core::OutsideEntry{e.name, e.path, e.key, e.isFolder, e.canRename});
            return true;
        }
        return false;
    }

private:
    Machine& machine_;
};

class FolderSourceTest : public ::testing::Test {
protected:
    FolderSourceTest()
        : letters(platform::HostPlatform(), std::make_unique<MachineSource>(machine)),
          shadow(platform::HostPlatform(), std::make_unique<MachineSource>(machine)) {
        machine.letters = dir.path();
        // Neither folders first nor by name: the machine's own order.
        machine.entries = {{"zeta note", "machine:zeta note", "k-zeta", false, true},
                           {"Letters", dir.path(), "k-letters", true, false},
                           {"Archive", "machine:Archive", "k-archive", true, true}};
    }

    fakes::TempDir dir;
    Machine machine;
    FolderListing letters;
    FolderListing shadow;
};

}  // namespace

TEST_F(FolderListingTest, FoldersFirstThenNaturalCaseInsensitiveOrder) {
    for (const char* f : {"b.txt", "A.txt", "file10", "file9", "file09", "Яблоко", "абрикос", "Ёж",
                          "ель", "Zeta", "zeta"}) {
        touch(f);
    }
    fs::create_directory(dir / "zz folder");
    fs::create_directory(dir / "Archive");
    rootAtDir();
    EXPECT_EQ(Names(letters), (Names_{"Archive", "zz folder", "A.txt", "b.txt", "file09", "file9",
                                      "file10", "Zeta", "zeta", "абрикос", "ель", "Ёж", "Яблоко"}));
    EXPECT_TRUE(letters.isFolder(0));
    EXPECT_FALSE(letters.isFolder(2));
    EXPECT_EQ(letters.fullPath(2), dir / "A.txt");
}

// Names that agree far into their sort keys, or only in the case of a late
// letter, are ordered by the whole key and then by their bytes.
TEST_F(FolderListingTest, LongCommonStartsOrderByTheWholeKey) {
    const std::string start = "REPORT_2026_12_09_OFFICE_";
    Names_ names;
    for (const char* end : {"b", "B", "a10", "a9", "a09", "", "a", "z", "Z1", "z01"}) {
        names.push_back(start + end);
    }
    names.push_back("REPORT_2026_12_09");
    names.push_back("report_2026_12_09_");
    for (const auto& n : names) touch(n);
    rootAtDir();
    std::vector<std::pair<std::string, std::string>> expected;
    for (const auto& n : names) {
        std::string key;
        core::AppendNaturalKey(key, n);
        expected.emplace_back(key, n);
    }
    std::sort(expected.begin(), expected.end());
    Names_ order;
    for (auto& [key, name] : expected) order.push_back(name);
    EXPECT_EQ(Names(letters), order);
    EXPECT_EQ(Names(letters).front(), "REPORT_2026_12_09");
}

TEST_F(FolderListingTest, HiddenEntriesAreLeftOut) {
    touch(".hidden");
    fs::create_directory(dir / ".config");
    touch("shown");
    rootAtDir();
    EXPECT_EQ(Names(letters), Names_{"shown"});
}

TEST_F(FolderListingTest, HostileNamesStayOneEntryEach) {
    const Names_ hostile = {"-rf",         "a b",       "quote\"d",         "it's",
                            "line\nbreak", "$(reboot)", "semi;colon",       "Case",
                            "case",        "Лист",      "\xFF\xFE bad utf8"};
    for (const auto& n : hostile) touch(n);
    rootAtDir();
    ASSERT_EQ(letters.count(), hostile.size());
    for (std::size_t i = 0; i < letters.count(); ++i) {
        EXPECT_TRUE(fs::exists(letters.fullPath(i))) << letters.fullPath(i);
        EXPECT_EQ(letters.entry(i).displayName, letters.name(i));
    }
}

TEST_F(FolderListingTest, MissingFolderKeepsRootAndListingAndReportsThePath) {
    touch("one");
    rootAtDir();
    try {
        letters.setRoot(dir / "missing");
        FAIL() << "a missing folder was accepted as the root";
    } catch (const core::PlatformError& e) {
        EXPECT_EQ(std::string(e.what()), "Error setting path: \"" + (dir / "missing") + "\"");
    }
    EXPECT_EQ(letters.root(), dir.path());
    EXPECT_EQ(Names(letters), Names_{"one"});
    EXPECT_THROW(letters.setRoot(""), core::PlatformError);
    EXPECT_THROW(letters.setRoot("relative/path"), core::PlatformError);
}

TEST_F(FolderListingTest, SameRootInAnotherCaseDoesNothing) {
    fs::create_directory(dir / "LETTERS");
    letters.setRoot(dir / "LETTERS");
    touch("LETTERS/new");
    letters.setRoot(dir / "letters");  // does not even list again
    EXPECT_EQ(letters.root(), dir / "LETTERS");
    EXPECT_EQ(letters.count(), 0u);
}

TEST_F(FolderListingTest, EnteringAFolderKeepsTheRootAndParentGoesUpToTheTop) {
    fs::create_directories(dir / "sub/deeper");
    rootAtDir();
    letters.showFolder(letters.fullPath(0));
    EXPECT_EQ(letters.displayedFolder(), dir / "sub");
    EXPECT_EQ(letters.root(), dir.path());
    EXPECT_EQ(Names(letters), Names_{"deeper"});
    EXPECT_TRUE(letters.showParent());
    EXPECT_EQ(letters.displayedFolder(), dir.path());
    while (letters.showParent()) {
    }
    EXPECT_EQ(letters.displayedFolder(), "/");
    EXPECT_EQ(letters.fullPath(0).rfind('/'), 0u);
}

TEST_F(FolderListingTest, UnreadableFolderListsEmpty) {
    touch("a-file");
    letters.setRoot(dir / "a-file");  // a file is accepted as the root
    EXPECT_EQ(letters.count(), 0u);
    rootAtDir();
    EXPECT_EQ(letters.count(), 1u);
    fs::create_directory(dir / "gone");
    letters.showFolder(dir / "gone");
    fs::remove(dir / "gone");
    letters.relist();
    EXPECT_EQ(letters.count(), 0u);
}

TEST_F(FolderListingTest, RelistKeepsTheSelectionByPosition) {
    for (const char* f : {"a", "b", "c"}) touch(f);
    rootAtDir();
    letters.select(2);
    letters.relist();
    EXPECT_EQ(letters.selectedIndex(), 2u);
    fs::remove(dir / "a");
    letters.relist();
    EXPECT_EQ(letters.selectedIndex(), std::nullopt) << "index 2 no longer exists";
    letters.select(1);
    touch("0first");
    letters.relist();
    EXPECT_EQ(letters.selectedIndex(), 1u);
    EXPECT_EQ(letters.selectedEntry()->displayName, "b");
}

TEST_F(FolderListingTest, AnEntryIsFoundAgainByItsNameAfterTheRowsMove) {
    touch("NOTE.TXT");
    touch("REPORT.DOC");
    rootAtDir();
    const auto mark = letters.markOf(1);
    touch("ANNEX.DOC");  // sorts first: the rows move down
    letters.relist();
    EXPECT_EQ(letters.find(mark), std::optional<std::size_t>(2));
    fs::remove(dir / "REPORT.DOC");
    letters.relist();
    EXPECT_EQ(letters.find(mark), std::nullopt) << "a gone entry is not another one";
    touch("REPORT.DOC");
    fs::create_directory(dir / "sub");
    touch("sub/REPORT.DOC");
    letters.relist();
    ASSERT_TRUE(letters.find(mark));
    ASSERT_TRUE(letters.enter(0));  // the folder comes first
    EXPECT_EQ(letters.find(mark), std::nullopt) << "the same name in another folder";
}

TEST_F(FolderListingTest, WatchRelistsOnlyOnADifference) {
    touch("a");
    touch("c");
    rootAtDir();
    EXPECT_FALSE(core::OnWatchTick(letters, shadow)) << "an unchanged folder";
    touch("a", "grown and touched");
    EXPECT_FALSE(core::OnWatchTick(letters, shadow)) << "size and date do not count";
    touch("b");
    EXPECT_TRUE(core::OnWatchTick(letters, shadow)) << "a new file";
    letters.relist();
    EXPECT_FALSE(core::OnWatchTick(letters, shadow));
    fs::rename(dir / "b", dir / "bb");  // sorts to the same place
    EXPECT_TRUE(core::OnWatchTick(letters, shadow)) << "a rename in place";
    letters.relist();
    fs::remove(dir / "c");
    fs::create_directory(dir / "c");  // a folder now: it moves to the top
    EXPECT_TRUE(core::OnWatchTick(letters, shadow));
}

// A quiet folder costs no listing once its notice is running; a new folder,
// a told change and a folder without notices are compared as before.
TEST(LettersWatch, ListsTheFolderOnlyWhenItsNoticeSpeaks) {
    fakes::FakePlatform platform;
    platform.directories = {"/", "/letters", "/letters/sub", "/share"};
    platform.files["/letters/NOTE.TXT"] = "n";
    FolderListing letters(platform), shadow(platform);
    letters.setRoot("/letters");
    core::LettersWatch watch(platform);
    EXPECT_FALSE(watch.tick(letters, shadow)) << "the first tick compares";
    const int listed = platform.enumerations;
    for (int i = 0; i < 5; ++i) EXPECT_FALSE(watch.tick(letters, shadow));
    EXPECT_EQ(platform.enumerations, listed) << "a quiet folder is not listed";

    platform.files["/letters/REPORT.DOC"] = "r";
    EXPECT_TRUE(watch.tick(letters, shadow)) << "a told change";
    EXPECT_GT(platform.enumerations, listed);

    ASSERT_TRUE(letters.enter(0));  // the subfolder: a new notice, compared at once
    platform.files["/letters/sub/A.DOC"] = "a";
    EXPECT_TRUE(watch.tick(letters, shadow));

    platform.unnoticedFolders.insert("/share");
    letters.setRoot("/share");
    (void)watch.tick(letters, shadow);
    const int shared = platform.enumerations;
    (void)watch.tick(letters, shadow);
    EXPECT_GT(platform.enumerations, shared) << "a network share is listed every tick";
    watch.stop();
}

TEST_F(FolderListingTest, WatchComparesTheSubfolderTheOperatorEntered) {
    fs::create_directory(dir / "sub");
    touch("sub/in-sub");
    touch("top");
    rootAtDir();
    letters.showFolder(dir / "sub");
    EXPECT_FALSE(core::OnWatchTick(letters, shadow)) << "an unchanged subfolder is left alone";
    EXPECT_EQ(letters.displayedFolder(), dir / "sub");
    touch("sub/more");
    EXPECT_TRUE(core::OnWatchTick(letters, shadow));
    letters.relist();
    EXPECT_EQ(letters.displayedFolder(), dir / "sub") << "it never goes back by itself";
    EXPECT_EQ(Names(letters), (Names_{"in-sub", "more"}));
}

TEST_F(FolderSourceTest, AFolderOutsideTheFileSystemKeepsItsSourcesOrderAndNames) {
    letters.setRoot("rfMachine");
    ASSERT_TRUE(letters.outsideFileSystem());
    EXPECT_EQ(letters.displayedFolder(), "The machine");
    EXPECT_EQ(Names(letters), (Names_{"zeta note", "Letters", "Archive"}));
    EXPECT_EQ(letters.fullPath(0), "machine:zeta note");
    EXPECT_EQ(letters.fullPath(1), dir.path());
    EXPECT_EQ(letters.entry(1).displayName, "Letters");
    EXPECT_EQ(letters.sourceKey(2), "k-archive");
    EXPECT_FALSE(letters.isFolder(0));
    EXPECT_TRUE(letters.isFolder(1));
    EXPECT_TRUE(letters.canRename(0));
    EXPECT_FALSE(letters.canRename(1));

    letters.setRoot("RFMACHINE");
    EXPECT_EQ(letters.root(), "rfMachine") << "the same root in other letters changes nothing";
    EXPECT_THROW(letters.setRoot("rfNowhere"), core::PlatformError);
    EXPECT_EQ(letters.root(), "rfMachine");
    EXPECT_EQ(letters.count(), 3u);
}

TEST_F(FolderSourceTest, TheOperatorGoesDownIntoTheFileSystemAndBackUpAboveItsTop) {
    dir.write("b.txt", "b");
    dir.write("a.txt", "a");
    letters.setRoot("rfMachine");
    EXPECT_FALSE(letters.enter(0)) << "a file";
    ASSERT_TRUE(letters.enter(1));
    EXPECT_FALSE(letters.outsideFileSystem());
    EXPECT_EQ(letters.displayedFolder(), dir.path());
    EXPECT_EQ(Names(letters), (Names_{"a.txt", "b.txt"})) << "sorted by name again";
    EXPECT_EQ(letters.sourceKey(0), "");
    EXPECT_EQ(letters.root(), "rfMachine");

    while (!letters.outsideFileSystem()) {
        const std::string before = letters.displayedFolder();
        ASSERT_TRUE(letters.showParent()) << before;
        if (letters.outsideFileSystem()) {
            EXPECT_EQ(before, "/") << "left from the top only";
        }
    }
    EXPECT_EQ(letters.place(), MachineSource::Top());
    EXPECT_EQ(Names(letters), (Names_{"zeta note", "Letters", "Archive"}));
    EXPECT_FALSE(letters.showParent()) << "nothing above the machine";
    EXPECT_FALSE(letters.enter(2)) << "a folder the source opens nowhere";
    EXPECT_EQ(letters.place(), MachineSource::Top());
}

TEST_F(FolderSourceTest, TheWatchOverAFolderOutsideTheFileSystemSeesEveryChange) {
    letters.setRoot("rfMachine");
    EXPECT_FALSE(core::OnWatchTick(letters, shadow)) << "unchanged";
    EXPECT_FALSE(core::OnWatchTick(letters, shadow)) << "still unchanged";
    EXPECT_EQ(shadow.place(), MachineSource::Top());

    machine.entries.push_back({"new", "machine:new", "k-new", false, true});
    EXPECT_TRUE(core::OnWatchTick(letters, shadow)) << "a new entry";
    letters.relist();
    EXPECT_FALSE(core::OnWatchTick(letters, shadow));

    machine.entries[0].path = "machine:elsewhere";
    EXPECT_TRUE(core::OnWatchTick(letters, shadow)) << "the same name for another entry";
    letters.relist();
    machine.entries[2].isFolder = false;
    EXPECT_TRUE(core::OnWatchTick(letters, shadow)) << "a folder that became a file";
    letters.relist();
    std::swap(machine.entries[0], machine.entries[1]);
    EXPECT_TRUE(core::OnWatchTick(letters, shadow)) << "a new order";
    letters.relist();
    EXPECT_FALSE(core::OnWatchTick(letters, shadow));

    ASSERT_TRUE(letters.enter(0));  // Letters, in the file system now
    EXPECT_FALSE(core::OnWatchTick(letters, shadow)) << "an unchanged folder of the file system";
    EXPECT_FALSE(shadow.outsideFileSystem());
    dir.write("arrived", "x");
    EXPECT_TRUE(core::OnWatchTick(letters, shadow));
}

TEST_F(FolderSourceTest, RelistOutsideTheFileSystemKeepsTheSelectionByPosition) {
    letters.setRoot("rfMachine");
    letters.select(2);
    machine.entries[2].name = "Attic";
    letters.relist();
    EXPECT_EQ(letters.selectedIndex(), 2u);
    EXPECT_EQ(letters.selectedEntry()->displayName, "Attic");
    machine.entries.pop_back();
    letters.relist();
    EXPECT_EQ(letters.selectedIndex(), std::nullopt) << "index 2 no longer exists";
    letters.select(5);
    EXPECT_EQ(letters.selectedIndex(), std::nullopt);
}

TEST_F(FolderSourceTest, ARenameOutsideTheFileSystemGoesThroughTheSourceAndKeepsItsPlace) {
    letters.setRoot("rfMachine");
    EXPECT_TRUE(letters.rename(0, "alpha"));
    EXPECT_EQ(Names(letters), (Names_{"alpha", "Letters", "Archive"})) << "in place until relisted";
    EXPECT_EQ(letters.fullPath(0), "machine:alpha");
    EXPECT_EQ(letters.sourceKey(0), "k-alpha") << "the source finds it by its new key";
    EXPECT_EQ(machine.renames, 1);

    EXPECT_TRUE(letters.rename(0, "alpha")) << "the same name";
    EXPECT_FALSE(letters.rename(1, "Post")) << "the source does not let it";
    EXPECT_EQ(machine.renames, 1) << "neither is put to the source";
    EXPECT_FALSE(letters.rename(2, "refused"));
    EXPECT_EQ(letters.name(2), "Archive");
    EXPECT_EQ(letters.fullPath(2), "machine:Archive");
}

// A source that shows files without their extension, as Explorer may.
class ShortNames : public core::FileSystemSource {
public:
    ShortNames() : FileSystemSource(platform::HostPlatform()) {}
    bool showsOwnNames() const override { return true; }
    std::string shownName(const std::string& fullPath, std::string_view name) const override {
        ++asked;
        EXPECT_EQ(fullPath.substr(fullPath.size() - name.size()), name);
        return std::string(name.substr(0, name.rfind('.')));
    }
    mutable int asked = 0;
};

TEST(FolderListingNames, ANameTypedOverAShownNameKeepsTheHiddenExtension) {
    fakes::TempDir dir;
    dir.write("REPORT.DOC", "report");
    dir.write("MEMO.DOC", "memo");
    auto names = std::make_unique<ShortNames>();
    const ShortNames& source = *names;
    FolderListing listing(platform::HostPlatform(), std::move(names));
    listing.setRoot(dir.path());
    ASSERT_EQ(listing.count(), 2u);
    EXPECT_EQ(source.asked, 0) << "asked only for the rows in sight";
    EXPECT_EQ(listing.displayName(1), "REPORT");
    EXPECT_EQ(listing.displayName(1), "REPORT");
    EXPECT_EQ(source.asked, 1) << "once per row";
    EXPECT_EQ(listing.name(1), "REPORT.DOC");
    EXPECT_EQ(listing.entry(1).fullPath, dir / "REPORT.DOC");

    EXPECT_TRUE(listing.rename(1, "LETTER"));
    EXPECT_EQ(dir.read("LETTER.DOC"), "report");
    EXPECT_EQ(listing.displayName(1), "LETTER");
    EXPECT_EQ(listing.fullPath(1), dir / "LETTER.DOC");
    EXPECT_FALSE(listing.rename(1, "MEMO")) << "never over another file";
    EXPECT_EQ(dir.read("MEMO.DOC"), "memo");
    EXPECT_TRUE(listing.rename(1, "NOTE.TXT")) << "typed with another extension";
    EXPECT_TRUE(fs::exists(dir / "NOTE.TXT.DOC")) << "the hidden one stays all the same";
}

TEST(NaturalKey, DigitRunsCompareByValue) {
    auto key = [](std::string_view s) {
        std::string k;
        core::AppendNaturalKey(k, s);
        return k;
    };
    EXPECT_LT(key("a2"), key("a10"));
    EXPECT_LT(key("a.txt"), key("a1.txt"));
    EXPECT_EQ(key("A7"), key("a007"));
    EXPECT_EQ(key("ЁЖИК Ґ"), key("ёжик ґ"));
    // Ukrainian order: г ґ д, е є ж, и і ї й.
    EXPECT_LT(key("г"), key("ґ"));
    EXPECT_LT(key("ґ"), key("д"));
    EXPECT_LT(key("е"), key("є"));
    EXPECT_LT(key("є"), key("ж"));
    EXPECT_LT(key("и"), key("і"));
    EXPECT_LT(key("і"), key("ї"));
    EXPECT_LT(key("ї"), key("й"));
    EXPECT_LT(key("ель"), key("ёж"));
    EXPECT_LT(key("x99999999999999999999"), key("x100000000000000000000"));
}

TEST_F(FolderListingTest, TypeAheadFindsTheNextNameBeginningSoInAnyCaseAndWrapsRound) {
    for (const char* name : {"alpha.doc", "Beta.doc", "beta2.doc", "Звіт.txt"}) touch(name);
    rootAtDir();
    const core::FolderListing& listing = letters;
    ASSERT_EQ(listing.count(), 4u);
    EXPECT_EQ(listing.findByPrefix("BE", 0), 1u);
    EXPECT_EQ(listing.findByPrefix("be", 2), 2u) << "from the start given";
    EXPECT_EQ(listing.findByPrefix("al", 3), 0u) << "wrapping round";
    EXPECT_EQ(listing.findByPrefix("ЗВІ", 0), 3u) << "Cyrillic in the other case";
    EXPECT_FALSE(listing.findByPrefix("x", 0));
    EXPECT_FALSE(listing.findByPrefix("", 0));
}
