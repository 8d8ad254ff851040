#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "TempDir.h"
#include "core/FolderListing.h"
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
