#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <filesystem>

#include "platform/Platform.h"
#include "qt/ProgramOnDisk.h"
#include "ui/qt/CheckListBox.h"
#include "ui/qt/LettersView.h"
#include "ui/qt/Unit1.h"
#include "ui/qt/Unit2.h"
#include "ui/qt/Unit3.h"

using namespace dorvel;
using dorvel::fakes::RecordingMessages;
namespace fs = std::filesystem;

namespace {

// The program on a real mail directory with the stand-in mail tool.
class ToolbarTest : public dorvel::fakes::ProgramOnDisk {
protected:
    ToolbarTest() { dir.write("letters/REPORT.DOC", "report"); }
    std::unique_ptr<ui::TForm1> start(const std::string& options) {
        settings(lettersOption() + options + "[ListCheck]\r\nL_A first=1\r\nL_B second=1\r\n");
        return startProgram();
    }
    std::size_t journalLines() {
        const std::string journal = dir.read("mail/journal.txt");
        return static_cast<std::size_t>(std::count(journal.begin(), journal.end(), '\n'));
    }
};

}  // namespace

TEST_F(ToolbarTest, SendWithTheOptionMovesTheLetterAndTheFieldGetsItsSeparator) {
    auto form = start("PostMove=1\r\nMoveDir=" + (dir / "del") + "\r\n");
    form->ShellListView1->selectRow(0);
    QTest::mouseClick(form->ToolButton1, Qt::LeftButton);
    EXPECT_EQ(journalLines(), 2u);
    EXPECT_EQ(dir.read("mail/outbox/L_B/REPORT.DOC"), "report");
    EXPECT_EQ(dir.read("del/REPORT.DOC"), "report");
    EXPECT_FALSE(fs::exists(dir / "letters/REPORT.DOC"));
    EXPECT_EQ(form->Form2->deletedFilesFolder(), dir / "del/");
    EXPECT_FALSE(form->Form3->isVisible());
    form->FormDestroy();
    EXPECT_NE(dir.read("dorvel.ini").find("MoveDir=" + (dir / "del/") + "\r\n"), std::string::npos);
}

TEST_F(ToolbarTest, DeleteWithNothingSelectedChangesNothingNotEvenTheField) {
    auto form = start("MoveDir=" + (dir / "del") + "\r\n");
    QTest::mouseClick(form->ToolButton2, Qt::LeftButton);
    EXPECT_EQ(messages.informations, std::vector<std::string>{"Выберите файл для удаления"});
    EXPECT_EQ(form->Form2->deletedFilesFolder(), dir / "del");
    EXPECT_FALSE(fs::exists(dir / "del"));
}

TEST_F(ToolbarTest, DeleteTwiceKeepsBothLettersUnderNumberedNames) {
    auto form = start("MoveDir=" + (dir / "del") + "\r\n");
    for (int i = 0; i < 2; ++i) {
        dir.write("letters/REPORT.DOC", "report " + std::to_string(i));
        form->form().Timer1Timer();
        form->ShellListView1->selectRow(0);
        QTest::mouseClick(form->ToolButton2, Qt::LeftButton);
    }
    EXPECT_EQ(dir.read("del/REPORT.DOC"), "report 0");
    EXPECT_EQ(dir.read("del/REPORT.1.DOC"), "report 1");
}

TEST_F(ToolbarTest, AnErrorInTheMoveIsShownAndTheProgramCarriesOn) {
    auto form = start("MoveDir=" + (dir / "no/such/parent") + "\r\n");
    form->ShellListView1->selectRow(0);
    QTest::mouseClick(form->ToolButton2, Qt::LeftButton);
    EXPECT_EQ(messages.platformErrors, std::vector<std::string>{"Invalid filename"});
    EXPECT_TRUE(fs::exists(dir / "letters/REPORT.DOC"));
    EXPECT_FALSE(form->Form3->isVisible());
}

TEST_F(ToolbarTest, TheWaitServesTheWatchAndClosingEndsItAtOnce) {
    ::setenv("DORVEL_TOMAIL_DELAY_MS", "1500", 1);
    auto form = start("");
    form->ShellListView1->selectRow(0);
    bool relisted = false;
    QTimer::singleShot(300, [&] {
        dir.write("letters/ARRIVED.TXT", "new");
        form->form().Timer1Timer();  // as the timer would, inside the wait
        relisted = form->ShellListView1->Count() == 2;
        form->close();
    });
    QElapsedTimer clock;
    clock.start();
    form->form().N3Click();
    EXPECT_TRUE(relisted) << "the letters view did not follow its folder during the send";
    EXPECT_LT(clock.elapsed(), 1200) << "closing did not end the wait";
    // Both runs were started all the same; they finish on their own.
    QTRY_COMPARE_WITH_TIMEOUT(journalLines(), std::size_t{2}, 5000);
}

TEST_F(ToolbarTest, ADeleteInsideASendsWaitRunsToItsEndAndTheSendGoesOnWithItsOwnFile) {
    ::setenv("DORVEL_TOMAIL_DELAY_MS", "700", 1);
    auto form = start("MoveDir=" + (dir / "del") + "\r\n");
    form->ShellListView1->selectRow(0);
    bool progressClosedByTheDelete = false;
    QTimer::singleShot(200, [&] {
        QTest::mouseClick(form->ToolButton2, Qt::LeftButton);  // the same letter, mid-send
        progressClosedByTheDelete = !form->Form3->isVisible();
    });
    form->form().N3Click();
    EXPECT_TRUE(progressClosedByTheDelete);
    EXPECT_EQ(dir.read("del/REPORT.DOC"), "report");
    EXPECT_EQ(journalLines(), 2u);
    // The second run still names the entry the send took, which is gone by then.
    const std::string journal = dir.read("mail/journal.txt");
    EXPECT_NE(journal.find("-NL_B\t-F\t"), std::string::npos) << journal;
    EXPECT_FALSE(form->Form3->isVisible());
}

TEST(ShowDeletedFolder, TheFolderReachesTheFileBrowserAsOneArgument) {
    fakes::FakePlatform platform;
    platform.env["ZOVOVOD"] = "/mail";
    platform.files["/mail/LUSERS.NDE"] = "";
    platform.files["./dorvel.ini"] = "[Options]\r\nMoveDir=/home/op/deleted letters\r\n";
    RecordingMessages messages;
    ui::TForm1 form(platform, messages);
    QTest::mouseClick(form.ToolButton4, Qt::LeftButton);
    ASSERT_EQ(platform.started.size(), 1u);
    EXPECT_EQ(platform.started[0].arguments,
              (std::vector<std::string>{"xdg-open", "/home/op/deleted letters"}));
    EXPECT_FALSE(platform.started[0].hidden);
    platform.failStarts = true;
    form.form().ShowDeletedFolder();
    EXPECT_EQ(messages.errors,
              std::vector<std::string>{"Не могу показать директорию /home/op/deleted letters"});
}

// The keyboard starts on the recipients, where the operator begins.
TEST_F(ToolbarTest, TheRecipientsHaveTheKeyboardFromTheStart) {
    auto form = start("PostMove=0\r\n");
    form->showInStoredState();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(form->CheckListBox1));
}

// Tab walks the controls, never the letters view's cells: a letter picked
// with the arrows stays picked on the way to the send button.
TEST_F(ToolbarTest, TabLeavesTheLettersViewWithTheLetterStillSelected) {
    dir.write("letters/A.TXT", "a");
    dir.write("letters/B.TXT", "b");
    auto form = start("PostMove=0\r\n");
    QApplication::setActiveWindow(form.get());
    auto* view = form->ShellListView1;
    view->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->hasFocus(); }));
    view->selectRow(0);
    QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClick(view, Qt::Key_Down);
    ASSERT_EQ(view->SelectedEntry()->displayName, "REPORT.DOC");

    QTest::keyClick(view, Qt::Key_Tab);
    EXPECT_FALSE(view->hasFocus()) << "Tab stayed inside the letters view";
    EXPECT_EQ(view->SelectedEntry()->displayName, "REPORT.DOC");
    view->setFocus(Qt::TabFocusReason);
    QTest::keyClick(view, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(form->CheckListBox1));
    view->setFocus(Qt::TabFocusReason);
    QTest::keyClick(view, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_FALSE(view->hasFocus()) << "Ctrl+Tab stayed inside the letters view";
    EXPECT_EQ(view->SelectedEntry()->displayName, "REPORT.DOC");

    // From the view, Tab comes round to the send button, and Space sends.
    view->setFocus(Qt::TabFocusReason);
    QTest::keyClick(view, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(form->ToolButton1));
    QTest::keyClick(form->ToolButton1, Qt::Key_Space);
    EXPECT_EQ(journalLines(), 2u);
    EXPECT_EQ(dir.read("mail/outbox/L_A/REPORT.DOC"), "report");
}
