#include <gtest/gtest.h>

#include "FakePlatform.h"
#include "RecordingProgress.h"
#include "core/MainForm.h"
#include "core/Texts.h"

using namespace dorvel;
using dorvel::fakes::FakePlatform;
using dorvel::fakes::RecordingMessages;

namespace {

constexpr const char* kIni = "./dorvel.ini";

// A window that writes down what the form asked of it, over a real listing.
class RecordingView final : public core::MainFormView,
                            public core::FrameView,
                            public core::LettersView,
                            public core::SettingsDialog {
public:
    explicit RecordingView(platform::Platform& platform) : folder(platform) {}

    std::vector<std::string> log;
    core::FolderListing folder;
    std::optional<core::ScreenRect> area = core::ScreenRect{0, 0, 1280, 1024};
    core::ScreenRect frame;
    int state = 0;
    bool positionKnown = true;
    int requestedPanel = 0;
    int clientWidth = 854;
    std::string folderField;
    bool option = false;
    std::vector<core::Recipient>* shown = nullptr;
    fakes::RecordingProgress progressWindow;

    std::optional<core::FolderEntry> SelectedEntry() const override {
        return folder.selectedEntry();
    }
    const std::string& root() const override { return folder.root(); }
    void setRoot(const std::string& text) override {
        log.push_back("setRoot " + text);
        folder.setRoot(text);
    }
    void adoptListing(core::FolderListing& listed) override {
        log.push_back("adopt " + listed.root());
        folder.swapListing(listed);
    }
    void ensureListed() override {
        log.emplace_back("ensureListed");
        folder.ensureListed();
    }
    const core::FolderListing& listing() const override { return folder; }
    void Relist() override {
        log.emplace_back("relist");
        folder.relist();
    }
    std::optional<core::ScreenRect> availableArea(const core::ScreenRect&) const override {
        return area;
    }
    void applyFrame(const core::ScreenRect& f) override {
        log.push_back("frame " + std::to_string(f.left) + "," + std::to_string(f.top) + " " +
                      std::to_string(f.width) + "x" + std::to_string(f.height));
        frame = f;
    }
    core::ScreenRect normalFrame() const override { return frame; }
    bool knowsPosition() const override { return positionKnown; }
    int windowState() const override { return state; }
    void applyPanelWidth(int width) override {
        log.push_back("panel " + std::to_string(width));
        requestedPanel = width;
    }
    int panelWidth() const override { return core::ShownPanelWidth(requestedPanel, clientWidth); }
    void stopWatch() override { log.emplace_back("stopWatch"); }
    core::SettingsDialog& createSettingsDialog() override {
        log.emplace_back("dialog");
        return *this;
    }
    void ShowSettings(const std::string& mailDirectory, core::LettersView& letters) override {
        log.push_back("settings " + mailDirectory + " " + letters.root());
    }
    std::string deletedFilesFolder() const override { return folderField; }
    void setDeletedFilesFolder(const std::string& folder) override {
        log.push_back("moveDir " + folder);
        folderField = folder;
    }
    bool deleteAfterSending() const override { return option; }
    void setDeleteAfterSending(bool on) override {
        log.push_back(std::string("postMove ") + (on ? "1" : "0"));
        option = on;
    }
    void showRecipients(std::vector<core::Recipient>& recipients) override {
        log.push_back("recipients " + std::to_string(recipients.size()));
        shown = &recipients;
    }
    core::Progress& progress() override { return progressWindow; }
};

class CountingRunner final : public core::ProcessRunner {
public:
    int runs = 0;
    int stops = 0;
    bool RunAndWait(const platform::Command&) override {
        ++runs;
        return true;
    }
    void stopWaiting() override { ++stops; }
};

class MainFormTest : public ::testing::Test {
protected:
    MainFormTest() {
        platform.env["ZOVOVOD"] = "/mail";
        platform.directories.insert("/");
        platform.directories.insert("/mail");
        platform.files["/mail/LUSERS.NDE"] = "L_A first\r\nL_B second\r\n";
        platform.directories.insert("/letters");
        platform.files["/letters/a.doc"] = "a";
        platform.files["/letters/b.doc"] = "b";
    }

    // A start as the program runs it; false when it ended early.
    bool start() {
        core::StartupReads reads(platform);
        return form.FormCreate(reads, view);
    }
    std::string ini() const { return platform.files.at(kIni); }
    bool iniHas(const std::string& line) const {
        return ini().find(line + "\r\n") != std::string::npos;
    }

    FakePlatform platform;
    RecordingMessages messages;
    CountingRunner runner;
    RecordingView view{platform};
    core::FolderListing shadow{platform};
    core::MainForm form{platform, messages, runner, view, view, shadow};
};

}  // namespace

TEST_F(MainFormTest, TheStartAppliesEachValueInItsOrderAndTheDialogComesBeforeItsTwoSettings) {
    platform.files[kIni] =
        "[Form1]\r\nTop=10\r\nLeft=20\r\nHeight=300\r\nWidth=400\r\nWindowState=2\r\n"
        "Panel1=150\r\n[Options]\r\nLetters=/letters\r\nPostMove=1\r\nMoveDir=/deleted\\\r\n"
        "[ListCheck]\r\nL_B second=1\r\n";
    ASSERT_TRUE(start());
    const std::vector<std::string> expected = {
        "frame 20,10 400x300", "panel 150",          "adopt /letters", "ensureListed", "dialog",
        "postMove 1",          "moveDir /deleted\\", "recipients 2"};
    EXPECT_EQ(view.log, expected);
    EXPECT_EQ(form.storedWindowState(), 2);
    EXPECT_EQ(view.folder.count(), 2u);
    ASSERT_NE(view.shown, nullptr);
    EXPECT_FALSE((*view.shown)[0].ticked);
    EXPECT_TRUE((*view.shown)[1].ticked);
    EXPECT_EQ(form.mailDirectory(), "/mail/");
}

TEST_F(MainFormTest, AFrameStoredOffTheScreensIsBroughtBackWithinThem) {
    platform.files[kIni] = "[Form1]\r\nTop=-5000\r\nLeft=9000\r\nHeight=99999\r\nWidth=870\r\n";
    ASSERT_TRUE(start());
    const core::ScreenRect placed = view.frame;
    EXPECT_EQ(placed, core::ReachableFrame({9000, -5000, 870, 99999}, *view.area));
    EXPECT_LE(placed.height, 1024);
    EXPECT_GE(placed.top, 0);
    EXPECT_LE(placed.left + placed.width, 1280);

    // Without a known area, the stored frame stands.
    RecordingView blind(platform);
    blind.area.reset();
    core::MainForm other(platform, messages, runner, blind, blind, shadow);
    core::StartupReads reads(platform);
    other.FormCreate(reads, blind);
    EXPECT_EQ(blind.frame, (core::ScreenRect{9000, -5000, 870, 99999}));
}

TEST_F(MainFormTest, ALettersRootThatIsNoFolderLeavesTheViewAndIsWrittenBackUnlessARootIsSet) {
    // A special folder's name, a file, a share not yet mounted: none is an
    // existing folder, so the view keeps its root.
    for (const std::string stored : {"rfPersonal", "/letters/a.doc", "/gone"}) {
        platform.files[kIni] = "[Options]\r\nLetters=" + stored + "\r\n";
        RecordingView fresh(platform);
        core::MainForm started(platform, messages, runner, fresh, fresh, shadow);
        core::StartupReads reads(platform);
        ASSERT_TRUE(started.FormCreate(reads, fresh));
        EXPECT_EQ(fresh.root(), core::kDesktopRoot) << stored;
        EXPECT_EQ(started.currentValues().letters, stored);
        fresh.setRoot("/letters");
        EXPECT_EQ(started.currentValues().letters, "/letters") << "a root set meanwhile wins";
    }
    EXPECT_TRUE(messages.platformErrors.empty());
}

TEST_F(MainFormTest, TheExitWritesThePanelAsShownNotAsStored) {
    for (const auto& [stored, written] : std::vector<std::pair<std::string, std::string>>{
             {"99999", "Panel1=821"}, {"-100", "Panel1=30"}, {"200", "Panel1=200"}}) {
        platform.files[kIni] = "[Form1]\r\nPanel1=" + stored + "\r\n";
        RecordingView fresh(platform);
        core::MainForm started(platform, messages, runner, fresh, fresh, shadow);
        core::StartupReads reads(platform);
        ASSERT_TRUE(started.FormCreate(reads, fresh));
        started.FormDestroy();
        EXPECT_TRUE(iniHas(written)) << stored << "\n" << ini();
    }
}

// On Wayland a window never learns where it is: its size and state are
// written, the stored place is kept rather than replaced by 0,0.
TEST_F(MainFormTest, WhereThePlaceIsUnknownTheExitKeepsTheStoredTopAndLeft) {
    platform.files[kIni] = "[Form1]\r\nTop=120\r\nLeft=-30\r\nHeight=500\r\nWidth=700\r\n";
    view.positionKnown = false;
    ASSERT_TRUE(start());
    view.frame = {0, 0, 640, 480};
    form.FormDestroy();
    EXPECT_TRUE(iniHas("Top=120")) << ini();
    EXPECT_TRUE(iniHas("Left=-30")) << ini();
    EXPECT_TRUE(iniHas("Width=640")) << ini();
    EXPECT_TRUE(iniHas("Height=480")) << ini();
}

TEST_F(MainFormTest, TheExitStopsTheWatchFirstWritesOnceAndTicksNoMore) {
    platform.files[kIni] = "[Options]\r\nLetters=/letters\r\n";
    ASSERT_TRUE(start());
    (*view.shown)[0].ticked = true;
    view.frame = {1, 2, 300, 400};
    view.setDeletedFilesFolder("/typed");
    view.log.clear();
    form.FormDestroy();
    form.FormDestroy();
    EXPECT_EQ(view.log, std::vector<std::string>{"stopWatch"});
    EXPECT_TRUE(iniHas("Top=2") && iniHas("Left=1") && iniHas("Height=400") && iniHas("Width=300"));
    EXPECT_TRUE(iniHas("Letters=/letters"));
    EXPECT_TRUE(iniHas("MoveDir=/typed"));
    EXPECT_TRUE(iniHas("L_A first=1"));
    EXPECT_TRUE(iniHas("L_B second=0"));

    platform.files["/letters/c.doc"] = "new";
    form.Timer1Timer();
    EXPECT_EQ(view.log, std::vector<std::string>{"stopWatch"}) << "no tick after the exit";
}

TEST_F(MainFormTest, WithoutTheMailDirectoryTheStartEndsAndTheExitStillWritesTheStoredValues) {
    platform.env.clear();
    platform.files[kIni] =
        "[Form1]\r\nTop=10\r\n[Options]\r\nLetters=/gone\r\nMoveDir=/deleted\r\n";
    EXPECT_FALSE(start());
    EXPECT_EQ(messages.errors, std::vector<std::string>{core::texts::kSetMailVariable});
    form.FormDestroy();
    EXPECT_TRUE(iniHas("Top=10"));
    EXPECT_TRUE(iniHas("Letters=/gone"));
    EXPECT_TRUE(iniHas("MoveDir=/deleted"));
}

TEST_F(MainFormTest, AnUnreadableSettingsFileIsSaidFirstAndNeverWritten) {
    platform.directories.insert(kIni);
    ASSERT_TRUE(start());
    EXPECT_EQ(messages.platformErrors, std::vector<std::string>{core::UnableToWriteSettingsText()});
    form.FormDestroy();
    EXPECT_EQ(platform.files.count(kIni), 0u);
    EXPECT_EQ(messages.platformErrors.size(), 2u) << "the refusal is said again at the exit";
}

TEST_F(MainFormTest, TheToolbarWritesTheFolderTextBack) {
    platform.files[kIni] = "[Options]\r\nLetters=/letters\r\nMoveDir=/deleted\r\n";
    ASSERT_TRUE(start());

    form.ToolButton2Click();
    EXPECT_EQ(messages.informations, std::vector<std::string>{core::texts::kChooseFileToDelete});
    EXPECT_EQ(view.folderField, "/deleted") << "nothing selected changes nothing";

    view.folder.select(0);
    form.ToolButton2Click();
    EXPECT_EQ(view.folderField, "/deleted/");
    EXPECT_EQ(platform.files.count("/deleted/a.doc"), 1u);

    (*view.shown)[1].ticked = true;
    view.option = true;
    view.folderField = "/sent";
    view.folder.relist();
    view.folder.select(0);
    form.N3Click();
    EXPECT_EQ(runner.runs, 1);
    EXPECT_EQ(view.folderField, "/sent/");
    EXPECT_EQ(platform.files.count("/sent/b.doc"), 1u);

    // A folder that cannot be made stops the move with the system's report;
    // the text stays as it was.
    platform.files["/blocked"] = "a file where the folder should be";
    view.folderField = "/blocked/sub";
    view.folder.relist();
    view.folder.select(0);
    platform.files["/letters/c.doc"] = "c";
    view.folder.relist();
    view.folder.select(0);
    form.ToolButton2Click();
    EXPECT_EQ(messages.platformErrors.size(), 1u);
    EXPECT_EQ(view.folderField, "/blocked/sub");
    EXPECT_EQ(platform.files.count("/letters/c.doc"), 1u);
}

TEST_F(MainFormTest, TheDeletedFolderIsShownOrTheRefusalSaid) {
    ASSERT_TRUE(start());
    view.folderField = "/deleted";
    form.ToolButton4Click();
    ASSERT_EQ(platform.started.size(), 1u);
    platform.failStarts = true;
    form.ShowDeletedFolder();
    EXPECT_EQ(messages.errors,
              std::vector<std::string>{core::texts::CannotShowFolderText("/deleted")});
    form.ToolButton3Click();
    EXPECT_EQ(view.log.back(), "settings /mail/ rfDesktop");
}

TEST_F(MainFormTest, TheWatchReListsOnlyAChangedFolderAndKeepsTheSelectionByPosition) {
    platform.files[kIni] = "[Options]\r\nLetters=/letters\r\n";
    ASSERT_TRUE(start());
    view.folder.select(1);
    view.log.clear();
    form.Timer1Timer();
    form.Timer1Timer();
    EXPECT_TRUE(view.log.empty()) << "an unchanged folder is never re-listed";
    platform.files["/letters/0.doc"] = "new";
    form.Timer1Timer();
    EXPECT_EQ(view.log, std::vector<std::string>{"relist"});
    EXPECT_EQ(view.folder.selectedEntry()->displayName, "a.doc") << "the same position";
}

TEST_F(MainFormTest, AClosedWindowStopsAWaitingSend) {
    ASSERT_TRUE(start());
    form.closeRequested();
    EXPECT_EQ(runner.stops, 1);
}

TEST(ShownPanelWidth, StaysWithinTheWindow) {
    EXPECT_EQ(core::ShownPanelWidth(185, 854), 185);
    EXPECT_EQ(core::ShownPanelWidth(99999, 854), 854 - 3 - 30);
    EXPECT_EQ(core::ShownPanelWidth(-100, 854), 30);
    EXPECT_EQ(core::ShownPanelWidth(185, 10), 30) << "a tiny window still has its panel";
}
