#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QSplitter>
#include <QTest>

#include "FakePlatform.h"
#include "ui/qt/CheckListBox.h"
#include "ui/qt/Unit1.h"

using namespace dorvel;
using dorvel::fakes::FakePlatform;
using dorvel::fakes::RecordingMessages;

namespace {

constexpr const char* kIni = "./dorvel.ini";

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() {
        platform.env["ZOVOVOD"] = "/mail";
        // "Київ", "Харків" in the transport's DOS code page, and a duplicate.
        platform.files["/mail/LUSERS.NDE"] =
            "L_KIEV \x8A\xA8\xF9\xA2\r\n; not a recipient\r\nL_KHAR \x95\xA0\xE0\xAA\xF7\xA2\r\n"
            "L_ODES x\r\nL_KIEV \x8A\xA8\xF9\xA2\r\n";
    }
    std::unique_ptr<ui::TForm1> start() { return std::make_unique<ui::TForm1>(platform, messages); }
    std::string ini() { return platform.files[kIni]; }
    static QPoint checkBoxOf(ui::TForm1& form, int row) {
        const QRect r = form.CheckListBox1->visualRect(form.CheckListBox1->model()->index(row, 0));
        return {r.left() + 5, r.center().y()};
    }
    static QPoint textOf(ui::TForm1& form, int row) {
        const QRect r = form.CheckListBox1->visualRect(form.CheckListBox1->model()->index(row, 0));
        return {r.left() + 60, r.center().y()};
    }

    FakePlatform platform;
    RecordingMessages messages;
};

}  // namespace

TEST_F(MainWindowTest, FirstStartUsesTheDesignGeometryAndListsRecipientsInFileOrder) {
    auto form = start();
    ASSERT_FALSE(form->startFailed());
    EXPECT_EQ(form->pos(), QPoint(197, 106));
    EXPECT_EQ(form->size(), QSize(870, 666));
    EXPECT_EQ(form->panelWidth(), 185);
    EXPECT_EQ(form->windowTitle(), ".");
    EXPECT_EQ(form->form().mailDirectory(), "/mail/");
    auto* model = form->CheckListBox1->model();
    ASSERT_EQ(model->rowCount(), 4);
    EXPECT_EQ(model->index(0, 0).data().toString(), QString::fromUtf8("L_KIEV Київ"));
    EXPECT_EQ(model->index(1, 0).data().toString(), QString::fromUtf8("L_KHAR Харків"));
    EXPECT_EQ(model->index(3, 0).data().toString(), QString::fromUtf8("L_KIEV Київ"));
    form->showInStoredState();
    EXPECT_EQ(form->CheckListBox1->visualRect(model->index(1, 0)).height(), 13);
    EXPECT_EQ(form->frameGeometry().size(), QSize(870, 666)) << "the stored size is the frame's";
    form->FormDestroy();
    EXPECT_NE(ini().find("[Form1]\r\nPanel1=185\r\nWindowState=0\r\nTop=106\r\nLeft=197\r\n"
                         "Height=666\r\nWidth=870\r\n"),
              std::string::npos)
        << ini();
}

TEST_F(MainWindowTest, StoredGeometryPanelAndTicksAreRestored) {
    platform.files[kIni] =
        "[Form1]\r\nTop=50\r\nLeft=60\r\nHeight=500\r\nWidth=700\r\nPanel1=240\r\n"
        "[ListCheck]\r\nL_KHAR \xD5\xE0\xF0\xEA\xB3\xE2=1\r\nL_ODES x=0\r\n";
    auto form = start();
    EXPECT_EQ(form->pos(), QPoint(60, 50));
    EXPECT_EQ(form->size(), QSize(700, 500));
    EXPECT_EQ(form->panelWidth(), 240);
    const auto& r = form->form().recipients();
    EXPECT_FALSE(r[0].ticked);
    EXPECT_TRUE(r[1].ticked);
    EXPECT_FALSE(r[2].ticked);
}

TEST_F(MainWindowTest, UnsetMailDirectoryEndsAfterItsMessageAndStillWritesTheSettings) {
    platform.env.clear();
    platform.files[kIni] = "[Form1]\r\nTop=10\r\nLeft=20\r\nHeight=300\r\nWidth=400\r\n";
    auto form = start();
    EXPECT_TRUE(form->startFailed());
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(messages.errors, std::vector<std::string>{"Установите переменную окружения ZOVOVOD"});
    form->FormDestroy();
    EXPECT_EQ(ini(),
              "[Form1]\r\nTop=10\r\nLeft=20\r\nHeight=300\r\nWidth=400\r\nPanel1=185\r\n"
              "WindowState=0\r\n[Options]\r\nLetters=rfDesktop\r\n"
              "MoveDir=/home/operator/letters_save\r\nPostMove=0\r\n");
}

TEST_F(MainWindowTest, StoredStateOneStartsMinimised) {
    platform.files[kIni] = "[Form1]\r\nWindowState=1\r\n";
    auto form = start();
    form->showInStoredState();
    EXPECT_TRUE(form->isMinimized());
}

TEST_F(MainWindowTest, ClosingMaximisedKeepsTheOlderGeometry) {
    platform.files[kIni] =
        "[Form1]\r\nTop=10\r\nLeft=20\r\nHeight=300\r\nWidth=400\r\nWindowState=2\r\n";
    auto form = start();
    form->showInStoredState();
    EXPECT_TRUE(form->isMaximized());
    form->FormDestroy();
    EXPECT_NE(ini().find("Top=10\r\nLeft=20\r\nHeight=300\r\nWidth=400\r\nWindowState=2\r\n"),
              std::string::npos)
        << ini();
}

TEST_F(MainWindowTest, OptionsWithoutTheirWindowsYetAreWrittenBackUnchanged) {
    platform.files[kIni] =
        "[Options]\r\nLetters=/srv/\xCB\xE8\xF1\xF2\xE8\r\nPostMove=5\r\nMoveDir=/srv/del\r\n";
    auto form = start();
    form->FormDestroy();
    EXPECT_NE(ini().find("Letters=/srv/\xCB\xE8\xF1\xF2\xE8\r\nPostMove=1\r\nMoveDir=/srv/del\r\n"),
              std::string::npos)
        << ini();
}

TEST_F(MainWindowTest, EveryClickInTheBoxTogglesOnceWhateverWasClickedBefore) {
    auto form = start();
    form->show();
    QWidget* viewport = form->CheckListBox1->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, textOf(*form, 2));
    QTest::mouseClick(viewport, Qt::LeftButton, {}, checkBoxOf(*form, 2));
    EXPECT_TRUE(form->form().recipients()[2].ticked) << "a box click after a click on its text";
    QTest::mouseClick(viewport, Qt::LeftButton, {}, checkBoxOf(*form, 2));
    EXPECT_FALSE(form->form().recipients()[2].ticked);
    // Just right of the box is the text: it selects and never ticks.
    for (int past = 0; past < 5; ++past) {
        const QRect r = form->CheckListBox1->visualRect(form->CheckListBox1->model()->index(1, 0));
        QTest::mouseClick(viewport, Qt::LeftButton, {},
                          {r.left() + ui::CheckListBox::kCheckColumnWidth + past, r.center().y()});
        EXPECT_FALSE(form->form().recipients()[1].ticked) << past << " pixels right of the box";
        EXPECT_EQ(form->CheckListBox1->currentIndex().row(), 1);
    }
    form->FormDestroy();
}

TEST_F(MainWindowTest, CheckBoxColumnToggles_TextOnlySelects) {
    auto form = start();
    form->show();
    QWidget* viewport = form->CheckListBox1->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, textOf(*form, 0));
    EXPECT_FALSE(form->form().recipients()[0].ticked);
    EXPECT_EQ(form->CheckListBox1->currentIndex().row(), 0);
    QTest::mouseClick(viewport, Qt::LeftButton, {}, checkBoxOf(*form, 2));
    EXPECT_TRUE(form->form().recipients()[2].ticked);
    // An X server's double-click: a click, then the double-click event alone.
    QTest::mouseClick(viewport, Qt::LeftButton, {}, checkBoxOf(*form, 1));
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, checkBoxOf(*form, 1));
    EXPECT_FALSE(form->form().recipients()[1].ticked) << "a double-click toggles twice";
    QTest::mouseClick(viewport, Qt::LeftButton, {}, textOf(*form, 1));
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, textOf(*form, 1));
    EXPECT_FALSE(form->form().recipients()[1].ticked);
    // A system that sends the double-click's second press as well.
    QTest::mousePress(viewport, Qt::LeftButton, {}, checkBoxOf(*form, 0));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, checkBoxOf(*form, 0));
    QTest::mousePress(viewport, Qt::LeftButton, {}, checkBoxOf(*form, 0));
    QMouseEvent doubleClick(QEvent::MouseButtonDblClick, checkBoxOf(*form, 0),
                            viewport->mapToGlobal(checkBoxOf(*form, 0)), Qt::LeftButton,
                            Qt::LeftButton, Qt::NoModifier);
    doubleClick.setTimestamp(static_cast<quint64>(QTest::lastMouseTimestamp));
    QApplication::sendEvent(viewport, &doubleClick);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, checkBoxOf(*form, 0));
    EXPECT_FALSE(form->form().recipients()[0].ticked)
        << "press, press and double-click toggle twice";
    form->CheckListBox1->setFocus();
    form->CheckListBox1->setCurrentIndex(form->CheckListBox1->model()->index(3, 0));
    QTest::keyClick(form->CheckListBox1, Qt::Key_Space);
    EXPECT_TRUE(form->form().recipients()[3].ticked);
    QTest::keyClick(form->CheckListBox1, Qt::Key_Space);
    EXPECT_FALSE(form->form().recipients()[3].ticked);
    QTest::keyClick(form->CheckListBox1, Qt::Key_Space);

    form->FormDestroy();
    // Two identical lines share one key; the later one's tick is written last.
    EXPECT_NE(
        ini().find(
            "[ListCheck]\r\nL_KIEV \xCA\xE8\xBF\xE2=1\r\nL_KHAR \xD5\xE0\xF0\xEA\xB3\xE2=0\r\n"
            "L_ODES x=1\r\n"),
        std::string::npos)
        << ini();
}

TEST_F(MainWindowTest, ReadErrorInTheAddressFileKeepsTheStoredTicks) {
    platform.files[kIni] = "[ListCheck]\r\nL_KIEV \xCA\xE8\xBF\xE2=1\r\nL_ODES x=1\r\n";
    platform.failingFile = "/mail/LUSERS.NDE";
    platform.failAfter = 50;
    auto form = start();
    ASSERT_FALSE(form->startFailed());
    EXPECT_EQ(messages.platformErrors, std::vector<std::string>{"I/O error 30"});
    ASSERT_EQ(form->form().recipients().size(), 2u);
    EXPECT_TRUE(form->form().recipients()[0].ticked);
    form->FormDestroy();
    EXPECT_NE(ini().find("L_KIEV \xCA\xE8\xBF\xE2=1\r\n"), std::string::npos) << ini();
    EXPECT_NE(ini().find("L_ODES x=1\r\n"), std::string::npos)
        << "a recipient not read lost its tick";
}

TEST_F(MainWindowTest, RefusedSettingsWriteIsShownAndTheProgramStillEnds) {
    platform.refuseWrites = true;
    auto form = start();
    form->FormDestroy();
    EXPECT_EQ(messages.platformErrors,
              std::vector<std::string>{"Unable to write to .\\dorvel.ini"});
    form->FormDestroy();
    EXPECT_EQ(messages.platformErrors.size(), 1u) << "shut-down ran twice";
}
