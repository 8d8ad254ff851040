#include <gtest/gtest.h>

#include "FakePlatform.h"
#include "core/StartupReads.h"

using namespace dorvel;
using dorvel::fakes::FakePlatform;
using dorvel::fakes::RecordingMessages;

namespace {

constexpr const char* kIni = "./dorvel.ini";

class StartupReadsTest : public ::testing::Test {
protected:
    StartupReadsTest() {
        platform.env["ZOVOVOD"] = "/mail";
        platform.directories.insert("/mail");
        platform.files["/mail/LUSERS.NDE"] = "L_A first\r\nL_B second\r\n";
        platform.directories.insert("/letters");
        platform.files["/letters/b.doc"] = "x";
        platform.files["/letters/a.doc"] = "x";
    }
    FakePlatform platform;
};

// One log for every kind, so that the order across kinds shows.
class LoggedMessages final : public core::Messages {
public:
    std::vector<std::string> log;
    void error(const std::string& text) override { log.push_back("error: " + text); }
    void information(const std::string& text) override { log.push_back("info: " + text); }
    void platformError(const std::string& text) override { log.push_back("platform: " + text); }
};

}  // namespace

TEST_F(StartupReadsTest, ListsTheStoredFolderAndRestoresTheTicks) {
    platform.files[kIni] = "[Options]\r\nLetters=/letters\r\n[ListCheck]\r\nL_B second=1\r\n";
    core::StartupReads reads(platform);
    EXPECT_EQ(reads.letters, "/letters");
    EXPECT_FALSE(reads.listingError);
    ASSERT_EQ(reads.listing.count(), 2u);
    EXPECT_EQ(reads.listing.name(0), "a.doc");
    EXPECT_EQ(reads.listing.root(), "/letters");
    ASSERT_TRUE(reads.recipients.ok);
    ASSERT_EQ(reads.recipients.recipients.size(), 2u);
    EXPECT_FALSE(reads.recipients.recipients[0].ticked);
    EXPECT_TRUE(reads.recipients.recipients[1].ticked);
    EXPECT_EQ(reads.recipients.mailDirectory, "/mail/");
}

TEST_F(StartupReadsTest, AStoredNameThatIsNoFolderIsLeftToTheWindow) {
    for (const char* stored : {"", "/letters/a.doc", "/gone", "rfDesktop"}) {
        platform.files[kIni] = std::string("[Options]\r\nLetters=") + stored + "\r\n";
        core::StartupReads reads(platform);
        EXPECT_EQ(reads.letters, "") << stored;
        EXPECT_EQ(reads.listing.count(), 0u) << stored;
    }
}

TEST_F(StartupReadsTest, MessagesWaitUntilTheStartReachesThem) {
    platform.env.clear();
    core::StartupReads reads(platform);
    EXPECT_FALSE(reads.recipients.ok);
    RecordingMessages shown;
    EXPECT_TRUE(shown.errors.empty());
    reads.recipientMessages.showTo(shown);
    EXPECT_EQ(shown.errors, std::vector<std::string>{"Установите переменную окружения ZOVOVOD"});
    // Shown once only.
    reads.recipientMessages.showTo(shown);
    EXPECT_EQ(shown.errors.size(), 1u);
}

TEST(KeptMessages, ShowsEveryKindInTheOrderKept) {
    core::KeptMessages kept;
    kept.platformError("one");
    kept.error("two");
    kept.information("three");
    kept.error("four");
    LoggedMessages shown;
    kept.showTo(shown);
    EXPECT_EQ(shown.log, (std::vector<std::string>{"platform: one", "error: two", "info: three",
                                                   "error: four"}));
}
