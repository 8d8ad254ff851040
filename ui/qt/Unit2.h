#pragma once
// The settings dialog. Its deleted-files field and check box are the live
// store of those two settings from start-up on, opened or not; the folder
// tree fills whichever folder field the operator entered last.

#include <QDialog>
#include <array>
#include <string>

#include "core/MainForm.h"
#include "core/Messages.h"
#include "core/SettingsForm.h"
#include "platform/Platform.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace dorvel::ui {

class FolderTree;

class TForm2 final : public QDialog, public core::SettingsDialog, private core::SettingsFormView {
    Q_OBJECT
public:
    TForm2(platform::Platform& platform, core::Messages& messages, QWidget* owner);

    // Shows the dialog modally; returns when it closes.
    void ShowSettings(const std::string& mailDirectory, core::LettersView& lettersView) override;
    // What ShowSettings hands the dialog before it opens.
    void prepare(const std::string& mailDirectory, core::LettersView& lettersView);

    std::string deletedFilesFolder() const override;
    void setDeletedFilesFolder(const std::string& folder) override;
    bool deleteAfterSending() const override;
    void setDeleteAfterSending(bool on) override;

    QLabel* Label1;
    QLabel* Label3;
    QLabel* Label2;
    QLineEdit* Edit1;
    QLabel* Label4;
    QLineEdit* letters_save;
    QCheckBox* CheckBox1;
    QPushButton* Button2;
    FolderTree* ShellTreeView1;
    // 0 the letters-folder field, 1 the deleted-files field.
    int fillTarget() const { return static_cast<int>(form_.fillTarget()); }

    // False when the letters view refuses the folder: the dialog stays open.
    bool FormClose();

public:
    void setVisible(bool visible) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    std::string text(Field field) const override;
    void setText(Field field, const std::string& text) override;
    QLineEdit* folderField(Field field) const;
    QWidget* control(core::SettingsForm::Control which) const;
    // The controls in the order of SettingsForm::Control.
    std::array<QWidget*, 5> tabOrder() const;

    core::SettingsForm form_;
    std::string mailDirectory_;
    core::LettersView* lettersView_ = nullptr;
    bool opening_ = false;
};

}  // namespace dorvel::ui
