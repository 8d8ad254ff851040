#pragma once
// The settings dialog. Its deleted-files field and check box are the live
// store of those two settings from start-up on, opened or not; the folder
// tree fills whichever folder field the operator entered last.

#include <QDialog>
#include <string>

#include "core/Messages.h"
#include "platform/Platform.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace dorvel::ui {

class FolderTree;
class ShellListView;

class TForm2 final : public QDialog {
    Q_OBJECT
public:
    TForm2(platform::Platform& platform, core::Messages& messages, QWidget* owner);

    // Shows the dialog modally; returns when it closes.
    void ShowSettings(const std::string& mailDirectory, ShellListView& lettersView);
    // What ShowSettings hands the dialog before it opens.
    void prepare(const std::string& mailDirectory, ShellListView& lettersView);

    std::string deletedFilesFolder() const;
    void setDeletedFilesFolder(const std::string& folder);
    bool deleteAfterSending() const;
    void setDeleteAfterSending(bool on);

    QLabel* Label1;
    QLabel* Label3;
    QLabel* Label2;
    QLineEdit* Edit1;
    QLabel* Label4;
    QLineEdit* letters_save;
    QCheckBox* CheckBox1;
    QPushButton* Button2;
    FolderTree* ShellTreeView1;
    int fillTarget = 0;  // 0 the letters-folder field, 1 the deleted-files field

    void FormActivate();
    void Edit1Enter();
    void letters_saveEnter();
    void ShellTreeView1Change();
    // False when the letters view refuses the folder: the dialog stays open.
    bool FormClose();

public:
    void setVisible(bool visible) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void enterField(QLineEdit* field);

    platform::Platform& platform_;
    core::Messages& messages_;
    std::string mailDirectory_;
    ShellListView* lettersView_ = nullptr;
    QWidget* focusAtClose_ = nullptr;
    bool opening_ = false;
};

}  // namespace dorvel::ui
