// What a screen reader learns of the windows through Qt's accessibility
// interfaces: the toolbar's names, the recipient rows as checkable rows with
// their tick, ticked or not, and the dialog's fields named by their
// captions.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include "core/Texts.h"
#include "qt/ProgramOnDisk.h"
#include "ui/qt/CheckListBox.h"
#include "ui/qt/FolderTree.h"
#include "ui/qt/Unit1.h"
#include "ui/qt/Unit2.h"

using namespace dorvel;

namespace {

QString NameOf(QObject* object) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(object);
    return accessible != nullptr ? accessible->text(QAccessible::Name) : QString();
}

class AccessibilityTest : public dorvel::fakes::ProgramOnDisk {
protected:
    std::unique_ptr<ui::TForm1> start() {
        settings(lettersOption() + "[ListCheck]\r\nL_A first=1\r\nL_B second=0\r\n");
        return startProgram();
    }
};

}  // namespace

TEST_F(AccessibilityTest, ToolbarButtonsAreNamedByTheirHints) {
    auto form = start();
    const QToolButton* buttons[] = {form->ToolButton1, form->ToolButton2};
    EXPECT_EQ(NameOf(form->ToolButton1), QString::fromUtf8(core::texts::kToolbar[0].hint));
    EXPECT_EQ(NameOf(form->ToolButton2), QString::fromUtf8(core::texts::kToolbar[1].hint));
    for (const QToolButton* b : buttons)
        EXPECT_FALSE(NameOf(const_cast<QToolButton*>(b)).isEmpty());
    form->FormDestroy();
}

TEST_F(AccessibilityTest, RecipientRowsAreCheckableWithTheirTickUnticked) {
    auto form = start();
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(form->CheckListBox1);
    ASSERT_NE(list, nullptr);
    ASSERT_GE(list->childCount(), 2);
    for (int row = 0; row < 2; ++row) {
        QAccessibleInterface* cell = list->child(row);
        ASSERT_NE(cell, nullptr);
        EXPECT_TRUE(cell->state().checkable) << "row " << row;
        EXPECT_EQ(cell->state().checked != 0, row == 0) << "row " << row;
    }
    form->CheckListBox1->setFocus();
    form->CheckListBox1->setCurrentIndex(form->CheckListBox1->model()->index(1, 0));
    QTest::keyClick(form->CheckListBox1, Qt::Key_Space);
    EXPECT_TRUE(list->child(1)->state().checked);
    form->FormDestroy();
}

TEST_F(AccessibilityTest, TheDialogsFieldsAreNamedByTheirCaptionsAndTheTreeHasAName) {
    auto form = start();
    EXPECT_EQ(NameOf(form->Form2->Edit1),
              QString::fromUtf8(core::texts::kLettersFolderLabel).remove(QLatin1Char('&')));
    EXPECT_EQ(NameOf(form->Form2->letters_save),
              QString::fromUtf8(core::texts::kDeletedFilesLabel).remove(QLatin1Char('&')));
    EXPECT_EQ(NameOf(form->Form2->ShellTreeView1), QString::fromUtf8(core::texts::kFolderTreeName));
    form->FormDestroy();
}
