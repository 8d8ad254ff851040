#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <filesystem>

#include "core/SettingsFile.h"
#include "platform/Platform.h"
#include "qt/ProgramOnDisk.h"
#include "ui/qt/FolderTree.h"
#include "ui/qt/LettersView.h"
#include "ui/qt/MessageBoxes.h"
#include "ui/qt/Unit1.h"
#include "ui/qt/Unit2.h"
#include "ui/qt/Unit3.h"

using namespace dorvel;
using dorvel::fakes::RecordingMessages;
using dorvel::ui::FolderTree;
namespace fs = std::filesystem;

namespace {

// The program on real folders: a mail directory, a letters folder, and the
// settings file in the current directory.
class WindowsTest : public dorvel::fakes::ProgramOnDisk {
protected:
    WindowsTest() : ProgramOnDisk("L_A x\r\n") {
        fs::create_directories(dir / "other");
        fs::create_directories(dir / "deleted");
        fs::create_directories(dir / ".hidden");
    }

    void settings(const std::string& options) {
        ProgramOnDisk::settings("[Options]\r\n" + options);
    }
    std::unique_ptr<ui::TForm1> start() {
        return std::make_unique<ui::TForm1>(platform::HostPlatform(), messages);
    }
    // Opens the dialog without a modal loop of its own.
    static void open(ui::TForm1& form) {
        form.Form2->prepare(form.form().mailDirectory(), *form.ShellListView1);
        form.Form2->show();
        form.Form2->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.Form2));
    }
    static void close(ui::TForm1& form) { QTest::mouseClick(form.Form2->Button2, Qt::LeftButton); }
    static void enter(QWidget* field) { field->setFocus(Qt::TabFocusReason); }
    static std::string text(QLineEdit* field) { return field->text().toStdString(); }
    std::string ini() { return dir.read("dorvel.ini"); }
};

}  // namespace

TEST_F(WindowsTest, TheStartsTwoOptionsReachTheDialogsControlsWithoutItBeingOpened) {
    settings("Letters=" + (dir / "letters") + "\r\nPostMove=1\r\nMoveDir=" + (dir / "deleted") +
             "\r\n");
    auto form = start();
    ASSERT_NE(form->Form2, nullptr);
    EXPECT_TRUE(form->Form2->CheckBox1->isChecked());
    EXPECT_EQ(text(form->Form2->letters_save), dir / "deleted");
    EXPECT_EQ(form->ShellListView1->root(), dir / "letters");
    EXPECT_FALSE(form->Form2->isVisible());
}

// The settings button reaches the form, which opens the dialog modally on
// the letters root.
TEST_F(WindowsTest, TheSettingsButtonOpensTheDialog) {
    settings("Letters=" + (dir / "letters") + "\r\n");
    auto form = start();
    std::string shown;
    QTimer::singleShot(0, [&] {
        if (form->Form2->isVisible()) shown = text(form->Form2->Edit1);
        form->Form2->Button2->click();
    });
    QTest::mouseClick(form->ToolButton3, Qt::LeftButton);
    EXPECT_EQ(shown, dir / "letters");
    EXPECT_FALSE(form->Form2->isVisible());
}

TEST_F(WindowsTest, OpeningAndClosingUntouchedChangesNothing) {
    settings("Letters=" + (dir / "letters") + "\r\nMoveDir=" + (dir / "deleted") +
             "\r\nPostMove=1\r\n");
    auto form = start();
    for (int round = 0; round < 2; ++round) {
        open(*form);
        enter(form->Form2->letters_save);  // entered last, then the close box
        form->Form2->close();
        EXPECT_FALSE(form->Form2->isVisible());
        EXPECT_EQ(form->Form2->deletedFilesFolder(), dir / "deleted");
        EXPECT_TRUE(form->Form2->deleteAfterSending());
        EXPECT_EQ(form->ShellListView1->root(), dir / "letters");
    }
    open(*form);
    EXPECT_EQ(form->Form2->focusWidget(), form->Form2->letters_save);
    EXPECT_EQ(form->Form2->fillTarget(), 0) << "reopened with the focus in letters_save";
    EXPECT_TRUE(messages.platformErrors.empty());
}

// Which field the tree fills is the form's; here its events and texts go
// through the real controls.
TEST_F(WindowsTest, EnteringAFieldAndTheTreesChangeReachTheFormAndItsTextsTheControls) {
    settings("Letters=" + (dir / "letters") + "\r\nMoveDir=" + (dir / "deleted") + "\r\n");
    auto form = start();
    open(*form);
    auto* dialog = form->Form2;
    EXPECT_EQ(text(dialog->Edit1), dir / "letters");
    EXPECT_EQ(dialog->Label3->text().toStdString(), dir / "mail/");
    EXPECT_EQ(dialog->ShellTreeView1->selectedPath(), dir / "letters");
    enter(dialog->letters_save);
    EXPECT_EQ(dialog->fillTarget(), 1);
    dialog->ShellTreeView1->setSelectedPath(dir / "other");
    EXPECT_EQ(text(dialog->letters_save), dir / "other");
    EXPECT_EQ(text(dialog->Edit1), dir / "letters");
    dialog->Edit1->setText(QString::fromStdString(dir / "deleted"));
    close(*form);
    EXPECT_EQ(form->ShellListView1->root(), dir / "deleted");
}
TEST_F(WindowsTest, TheTreeStaysScrolledFullyLeftWhenItSelectsADeepFolder) {
    std::string deep = dir / "letters";
    for (int level = 0; level < 12; ++level) deep += "/level " + std::to_string(level);
    fs::create_directories(deep);
    settings("Letters=" + deep + "\r\n");
    auto form = start();
    open(*form);
    QScrollBar* sideways = form->Form2->ShellTreeView1->horizontalScrollBar();
    ASSERT_GT(sideways->maximum(), 0) << "the tree is wider than its view";
    EXPECT_EQ(sideways->value(), 0);
    enter(form->Form2->letters_save);
    form->Form2->ShellTreeView1->setSelectedPath(deep);
    EXPECT_EQ(sideways->value(), 0);
    close(*form);
}

TEST_F(WindowsTest, FoldersWhosePathsAreNotUtf8PassThroughTheDialogByteForByte) {
    const std::string letters = dir /
                                "p\xE9"
                                "che";  // Latin-1, not UTF-8
    const std::string deleted = dir / "d\xE9j\xE0";
    fs::create_directories(letters);
    settings("Letters=" + core::EncodePathValue(letters) +
             "\r\nMoveDir=" + core::EncodePathValue(deleted) + "\r\n");
    auto form = start();
    EXPECT_EQ(form->ShellListView1->root(), letters);
    EXPECT_EQ(form->Form2->deletedFilesFolder(), deleted);
    open(*form);
    enter(form->Form2->letters_save);
    enter(form->Form2->Edit1);
    close(*form);
    EXPECT_TRUE(messages.platformErrors.empty()) << messages.platformErrors.front();
    EXPECT_FALSE(form->Form2->isVisible());
    EXPECT_EQ(form->ShellListView1->root(), letters);
    EXPECT_EQ(form->Form2->deletedFilesFolder(), deleted);
    form->FormDestroy();
    const core::SettingsRecord saved =
        core::SettingsFile(platform::HostPlatform()).ReadSettings(core::SettingsRecord{});
    EXPECT_EQ(saved.letters, letters);
    EXPECT_EQ(saved.moveDir, deleted);
}

TEST_F(WindowsTest, TheTreeTakesAPathInItsNormalFormAndHasNoNodeForAHiddenFolder) {
    settings("Letters=" + (dir / "letters") + "\r\n");
    auto form = start();
    open(*form);
    FolderTree* tree = form->Form2->ShellTreeView1;
    tree->setSelectedPath(dir.path() + "//other/./");
    EXPECT_EQ(tree->selectedPath(), dir / "other");
    tree->setSelectedPath(dir / ".hidden");
    EXPECT_EQ(tree->selectedPath(), "");
    EXPECT_TRUE(messages.platformErrors.empty());
}
TEST_F(WindowsTest, ATypedDeletedFilesFolderIsSavedAtExit) {
    auto form = start();
    open(*form);
    form->Form2->letters_save->setText(QString::fromStdString(dir / "other"));
    close(*form);
    form->FormDestroy();
    EXPECT_NE(ini().find("MoveDir=" + (dir / "other") + "\r\n"), std::string::npos) << ini();
}

TEST_F(WindowsTest, FirstRunShowsThePathErrorOverTheDialogAndClosesUnchanged) {
    auto form = start();
    EXPECT_EQ(form->ShellListView1->root(), "rfDesktop");
    open(*form);
    EXPECT_EQ(messages.platformErrors,
              std::vector<std::string>{"Error setting path: \"rfDesktop\""});
    EXPECT_TRUE(form->Form2->isVisible());
    close(*form);
    EXPECT_FALSE(form->Form2->isVisible());
    EXPECT_EQ(form->ShellListView1->root(), "rfDesktop");
}

TEST_F(WindowsTest, ARefusedLettersFolderKeepsTheDialogOpen) {
    settings("Letters=" + (dir / "letters") + "\r\n");
    auto form = start();
    open(*form);
    form->Form2->Edit1->setText(QString::fromStdString(dir / "missing"));
    close(*form);
    EXPECT_TRUE(form->Form2->isVisible());
    EXPECT_EQ(messages.platformErrors.back(), "Error setting path: \"" + (dir / "missing") + "\"");
    EXPECT_EQ(form->ShellListView1->root(), dir / "letters");
}
TEST_F(WindowsTest, EscapeDoesNotCloseAndEnterClosesOnlyFromTheButton) {
    settings("Letters=" + (dir / "letters") + "\r\n");
    auto form = start();
    open(*form);
    QTest::keyClick(form->Form2->Edit1, Qt::Key_Escape);
    EXPECT_TRUE(form->Form2->isVisible());
    QTest::keyClick(form->Form2->Edit1, Qt::Key_Return);
    EXPECT_TRUE(form->Form2->isVisible());
    form->Form2->Button2->setFocus();
    QTest::keyClick(form->Form2->Button2, Qt::Key_Return);
    EXPECT_FALSE(form->Form2->isVisible());
}

TEST(ProgressWindow, LooksAsDesignedAndKeepsItsTexts) {
    ui::TForm3 progress;
    EXPECT_EQ(progress.size(), QSize(512, 87));
    EXPECT_EQ(progress.minimumSize(), progress.maximumSize());
    EXPECT_TRUE(progress.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(progress.Label1->text(), QStringLiteral("Отправляется"));
    EXPECT_EQ(progress.Label4->text(), QStringLiteral("на"));
    EXPECT_EQ(progress.Label1->pos(), QPoint(8, 8));
    EXPECT_EQ(progress.Label3->pos(), QPoint(8, 24));
    EXPECT_EQ(progress.Label2->pos(), QPoint(8, 64));
    EXPECT_EQ(progress.Animate1->geometry(), QRect(224, 16, 272, 60));
    EXPECT_TRUE(progress.Animate1->running()) << "the animation runs from creation, hidden or not";
    progress.SetCaption("Отправка почты");
    progress.SetFileLine("REPORT.DOC");
    progress.SetRecipientLine("L_KIEV Київ");
    progress.Show();
    EXPECT_TRUE(progress.isVisible());
    EXPECT_FALSE(progress.isModal());
    progress.Close();
    EXPECT_FALSE(progress.isVisible());
    EXPECT_EQ(progress.windowTitle(), QStringLiteral("Отправка почты"));
    EXPECT_EQ(progress.Label3->text(), QStringLiteral("REPORT.DOC"));
    EXPECT_EQ(progress.Label2->text(), QStringLiteral("L_KIEV Київ"));
    const int before = progress.Animate1->frame();
    QTest::qWait(200);
    EXPECT_NE(progress.Animate1->frame(), before);
}

TEST(ProgressWindow, IsPaintedBeforeShowReturnsAndLongLinesEndAtTheAnimation) {
    ui::TForm3 progress;
    EXPECT_FALSE(progress.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(progress.windowFlags() & Qt::WindowMaximizeButtonHint);
    progress.SetFileLine(std::string(300, 'W') + ".DOC");
    progress.SetRecipientLine("L_A " + std::string(300, 'x'));
    for (const QLabel* line : {progress.Label3, progress.Label2}) {
        EXPECT_LE(line->geometry().right(), progress.Animate1->geometry().left() - 1);
    }
    // What a move does right after showing: no return to the event loop.
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            paints += event->type() == QEvent::Paint;
            return false;
        }
    } counter;
    progress.Label3->installEventFilter(&counter);
    progress.Show();
    EXPECT_GT(counter.paints, 0) << "the file line was painted before the move begins";
    progress.Close();
}

TEST(ProgressWindow, NamesThatLookLikeMarkupAreShownAsTheyAre) {
    ui::TForm3 progress;
    progress.SetFileLine("/letters/<b>big</b>.doc");
    progress.SetRecipientLine("L_A &lt;img src=x&gt;");
    for (const QLabel* line : {progress.Label3, progress.Label2}) {
        EXPECT_EQ(line->textFormat(), Qt::PlainText);
    }
    EXPECT_EQ(progress.Label3->text(), QStringLiteral("/letters/<b>big</b>.doc"));
}

TEST(MessageBoxes, NamesThatLookLikeMarkupAreShownAsTheyAre) {
    const std::string start =
        "Произошла ошибка при запуске /mail/TOMAIL -HPOST -NL_A -F/l/<b>big</b>"
        " &lt;img&gt;\xE9.doc -X -SOFFICE";
    ui::MessageBoxes boxes("dorvel");
    QString shownText;
    Qt::TextFormat format = Qt::AutoText;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shownText = box->text();
            format = box->textFormat();
            box->accept();
        }
    });
    boxes.error(start);
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_TRUE(shownText.contains(QStringLiteral("/l/<b>big</b> &lt;img&gt;")));
}

TEST(MainWindow, ToolbarButtonsCarryTheirHints) {
    fakes::FakePlatform platform;
    platform.env["ZOVOVOD"] = "/mail";
    platform.files["/mail/LUSERS.NDE"] = "";
    RecordingMessages messages;
    ui::TForm1 form(platform, messages);
    EXPECT_EQ(form.ToolButton1->toolTip(), QStringLiteral("Отправить файл на выбранные адреса"));
    EXPECT_EQ(form.ToolButton2->toolTip(), QStringLiteral("Удалить файл"));
    EXPECT_EQ(form.ToolButton4->toolTip(), QStringLiteral("Просмотреть удалённые файлы"));
    EXPECT_EQ(form.ToolButton3->toolTip(), QStringLiteral("Настройки"));
    EXPECT_EQ(form.ToolButton1->size(), QSize(39, 38));
    EXPECT_EQ(form.ToolButton1->iconSize(), QSize(32, 32));
    EXPECT_FALSE(form.windowIcon().isNull());
}
