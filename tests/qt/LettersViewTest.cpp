#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLineEdit>
#include <QMimeDatabase>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyledItemDelegate>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <map>

#include "core/Messages.h"
#include "platform/Platform.h"
#include "qt/ProgramOnDisk.h"
#include "ui/qt/LettersView.h"
#include "ui/qt/Unit1.h"

using namespace dorvel;
using dorvel::fakes::InDirectory;
using dorvel::fakes::RecordingMessages;
using dorvel::fakes::TempDir;
namespace fs = std::filesystem;

namespace {

class LettersViewTest : public ::testing::Test {
protected:
    LettersViewTest() : view(platform::HostPlatform()) {
        view.onError = [this](const std::string& text) { errors.push_back(text); };
        view.resize(600, 400);
    }
    void touch(const std::string& name) { dir.write(name, "x"); }
    QString nameAt(int row) const { return view.model()->index(row, 0).data().toString(); }
    int selectedRow() const {
        const auto rows = view.selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.first().row();
    }
    void selectRow(int row) { view.selectRow(row); }

    TempDir dir;
    ui::ShellListView view;
    std::vector<std::string> errors;
};

}  // namespace

TEST_F(LettersViewTest, FixedColumnsWithTheirCaptionsAndWidths) {
    touch("a.txt");
    view.setRoot(dir.path());
    auto* model = view.model();
    ASSERT_EQ(model->columnCount(), 4);
    const QStringList captions = {"Name", "Size", "Type", "Modified"};
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(model->headerData(c, Qt::Horizontal).toString(), captions[c]);
    const int x = view.fontMetrics().horizontalAdvance(QLatin1Char('X'));
    EXPECT_EQ(view.columnWidth(0), 25 * x);
    EXPECT_EQ(view.columnWidth(1), 10 * x);
    EXPECT_EQ(view.columnWidth(3), 14 * x);
    EXPECT_TRUE(model->index(0, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
                Qt::AlignRight);
    EXPECT_EQ(model->index(0, 1).data().toString(), QStringLiteral("1 KB"));
    EXPECT_FALSE(view.horizontalHeader()->sectionsClickable());
    EXPECT_TRUE(view.showGrid());
}

// Types are looked up once per kind of file; each row still shows its own.
TEST_F(LettersViewTest, EachRowShowsItsOwnTypeAndIcon) {
    for (const char* f : {"a.txt", "b.png", "c.txt", "d.png"}) touch(f);
    fs::create_directory(fs::path(dir.path()) / "e");
    view.setRoot(dir.path());
    const QMimeDatabase mimes;
    auto* model = view.model();
    std::map<QString, QString> typeOf;
    for (int row = 0; row < model->rowCount(); ++row) {
        const QString name = nameAt(row);
        const QString expected =
            name == "e" ? mimes.mimeTypeForName("inode/directory").comment()
                        : mimes.mimeTypeForFile(name, QMimeDatabase::MatchExtension).comment();
        EXPECT_EQ(model->index(row, 2).data().toString(), expected) << name.toStdString();
        EXPECT_FALSE(model->index(row, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
        typeOf[name] = expected;
    }
    EXPECT_EQ(typeOf["a.txt"], typeOf["c.txt"]);
    EXPECT_NE(typeOf["a.txt"], typeOf["b.png"]);
    EXPECT_NE(typeOf["e"], typeOf["a.txt"]);
}

// The view paints its cells itself for speed; they must look exactly as the
// style's own delegate paints them: icons, right-aligned sizes, elided
// texts, the selection and the focus frame.
TEST_F(LettersViewTest, CellsLookAsTheStylePaintsThem) {
    touch("short.txt");
    touch(std::string(120, 'W') + ".doc");
    dir.write("big.bin", std::string(5000, 'x'));
    fs::create_directory(fs::path(dir.path()) / "folder");
    view.setRoot(dir.path());
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    view.setFocus();
    selectRow(2);
    const QImage ours = view.grab().toImage();
    auto* own = view.itemDelegate();
    QStyledItemDelegate plain;
    view.setItemDelegate(&plain);
    const QImage theStyles = view.grab().toImage();
    view.setItemDelegate(own);
    EXPECT_EQ(ours, theStyles);
}

TEST_F(LettersViewTest, F5OnTheLastRowKeepsItSelected) {
    for (const char* f : {"a", "b", "c"}) touch(f);
    view.setRoot(dir.path());
    view.show();
    selectRow(2);
    QTest::keyClick(&view, Qt::Key_F5);
    EXPECT_EQ(selectedRow(), 2);
    EXPECT_EQ(view.SelectedEntry()->displayName, "c");
}

TEST_F(LettersViewTest, HomeAndEndGoToTheFirstAndTheLastLetter) {
    for (const char* f : {"a", "b", "c", "d"}) touch(f);
    view.setRoot(dir.path());
    view.show();
    selectRow(1);
    QTest::keyClick(&view, Qt::Key_End);
    EXPECT_EQ(selectedRow(), 3);
    QTest::keyClick(&view, Qt::Key_Home);
    EXPECT_EQ(selectedRow(), 0);
    EXPECT_EQ(view.SelectedEntry()->displayName, "a");
}

TEST_F(LettersViewTest, EnterOpensAFolderAndBackspaceReturnsWhileTheRootStays) {
    fs::create_directory(dir / "archive");
    touch("archive/old.txt");
    touch("letter.txt");
    view.setRoot(dir.path());
    view.show();
    selectRow(0);
    QTest::keyClick(&view, Qt::Key_Return);
    EXPECT_EQ(nameAt(0), QStringLiteral("old.txt"));
    EXPECT_EQ(view.root(), dir.path());
    QTest::keyClick(&view, Qt::Key_Backspace);
    EXPECT_EQ(view.Count(), 2u);
    EXPECT_EQ(nameAt(0), QStringLiteral("archive"));
}

TEST_F(LettersViewTest, RefusedRootLeavesRowsAndSelectionAlone) {
    for (const char* f : {"a", "b"}) touch(f);
    view.setRoot(dir.path());
    selectRow(1);
    QSignalSpy resets(view.model(), &QAbstractItemModel::modelReset);
    EXPECT_THROW(view.setRoot(dir / "missing"), core::PlatformError);
    view.setRoot(dir.path());  // the same root does nothing either
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(selectedRow(), 1);
}

TEST_F(LettersViewTest, InPlaceRenameRenamesOnDiskAndRefusalIsReported) {
    touch("a");
    touch("b");
    view.setRoot(dir.path());
    auto* model = view.model();
    EXPECT_TRUE(model->setData(model->index(0, 0), QStringLiteral("z"), Qt::EditRole));
    EXPECT_TRUE(fs::exists(dir / "z"));
    EXPECT_EQ(nameAt(0), QStringLiteral("z")) << "redrawn where it stands";
    EXPECT_FALSE(model->setData(model->index(0, 0), QStringLiteral("b"), Qt::EditRole));
    EXPECT_EQ(errors, std::vector<std::string>{"Rename to b failed"});
    EXPECT_TRUE(fs::exists(dir / "z")) << "a refused rename must not replace b";
    EXPECT_EQ(dir.read("b"), "x");
}

TEST_F(LettersViewTest, ANameThatIsNotUtf8KeepsItsBytesThroughAnEdit) {
    const std::string latin1 = "r\xE9sum\xE9 \xFF.doc";  // Latin-1 bytes, not UTF-8
    touch(latin1);
    view.setRoot(dir.path());
    auto* model = view.model();
    const QString shown = model->index(0, 0).data(Qt::EditRole).toString();
    // Enter without a change renames nothing.
    model->setData(model->index(0, 0), shown, Qt::EditRole);
    EXPECT_TRUE(fs::exists(dir / latin1));
    EXPECT_TRUE(errors.empty());
    // An edit keeps the bytes the operator did not touch.
    QString edited = shown;
    edited.replace(QStringLiteral(".doc"), QStringLiteral(" 2.doc"));
    EXPECT_TRUE(model->setData(model->index(0, 0), edited, Qt::EditRole));
    EXPECT_TRUE(fs::exists(dir / "r\xE9sum\xE9 \xFF 2.doc"));
}

namespace {

// The main window on a real letters folder.
class WatchTest : public dorvel::fakes::ProgramOnDisk {
protected:
    WatchTest() { settings(lettersOption()); }
    void touch(const std::string& name) { dir.write("letters/" + name, "x"); }
    std::unique_ptr<ui::TForm1> start() { return startProgram(); }
    static int selectedRow(ui::TForm1& form) {
        const auto rows = form.ShellListView1->selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.first().row();
    }
};

}  // namespace

TEST_F(WatchTest, ANewFileAppearsAfterATickAndTheSelectedIndexStays) {
    for (const char* f : {"b", "d"}) touch(f);
    auto form = start();
    ASSERT_EQ(form->ShellListView1->Count(), 2u);
    form->ShellListView1->selectRow(1);
    touch("a");
    form->form().Timer1Timer();
    EXPECT_EQ(form->ShellListView1->Count(), 3u);
    EXPECT_EQ(selectedRow(*form), 1);
    EXPECT_EQ(form->ShellListView1->SelectedEntry()->displayName, "b");
}

TEST_F(WatchTest, AnUnchangedFolderIsNeverRelistedSoARenameInProgressSurvives) {
    for (int i = 0; i < 200; ++i) touch("letter" + std::to_string(i));
    auto form = start();
    auto* view = form->ShellListView1;
    view->selectRow(150);
    view->verticalScrollBar()->setValue(40);
    QSignalSpy resets(view->model(), &QAbstractItemModel::modelReset);
    view->edit(view->model()->index(150, 0));
    auto editing = [view] {
        const auto* editor = view->viewport()->findChild<QLineEdit*>();
        return editor != nullptr && editor->isVisible();
    };
    ASSERT_TRUE(editing());
    for (int i = 0; i < 3; ++i) form->form().Timer1Timer();
    EXPECT_EQ(resets.count(), 0);
    EXPECT_TRUE(editing());
    EXPECT_EQ(view->verticalScrollBar()->value(), 40);
}

TEST_F(WatchTest, DeletingAnEarlierEntrySelectsWhatNowStandsAtTheIndex) {
    for (const char* f : {"a", "b", "c"}) touch(f);
    auto form = start();
    form->ShellListView1->selectRow(2);
    fs::remove(dir / "letters/a");
    form->form().Timer1Timer();
    EXPECT_EQ(selectedRow(*form), -1) << "index 2 is gone";
    form->ShellListView1->selectRow(1);
    fs::remove(dir / "letters/b");
    touch("0");
    form->form().Timer1Timer();
    EXPECT_EQ(selectedRow(*form), 1);
    EXPECT_EQ(form->ShellListView1->SelectedEntry()->displayName, "c");
}

TEST_F(WatchTest, TheTimerIsArmedAtOnceAndStopsBeforeTheSettingsAreWritten) {
    auto form = start();
    ASSERT_NE(form->Timer1, nullptr);
    EXPECT_TRUE(form->Timer1->isActive());
    EXPECT_EQ(form->Timer1->interval(), 1000);
    touch("late");
    QTRY_COMPARE_WITH_TIMEOUT(form->ShellListView1->Count(), 1u, 3000);
    form->FormDestroy();
    EXPECT_EQ(form->Timer1, nullptr);
}
