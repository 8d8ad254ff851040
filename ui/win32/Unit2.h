#pragma once
// The settings dialog: the mail directory, the letters folder, the
// deleted-files folder and the delete-after-sending option, with a folder
// tree that fills whichever folder field was entered last. Its controls are
// the live store of the deleted-files folder and the option.

#include <windows.h>

#include <array>
#include <memory>
#include <string>

#include "core/MainForm.h"
#include "core/Messages.h"
#include "core/SettingsForm.h"
#include "platform/Platform.h"
#include "ui/win32/FolderTree.h"
#include "ui/win32/FormWindow.h"
#include "ui/win32/Handles.h"

namespace dorvel::ui::win32 {

class TForm2 final : public core::SettingsDialog, private core::SettingsFormView {
public:
    TForm2(platform::Platform& platform, core::Messages& messages, HWND owner);
    TForm2(const TForm2&) = delete;
    TForm2& operator=(const TForm2&) = delete;

    // Shows the dialog modally; returns when it has closed.
    void ShowSettings(const std::string& mailDirectory, core::LettersView& lettersView) override;
    // The halves of ShowSettings, apart for the tests: the opening steps,
    // and a close by the button (false when the letters folder was refused
    // and the dialog stays open).
    void open(const std::string& mailDirectory, core::LettersView& lettersView);
    bool FormClose();

    std::string deletedFilesFolder() const override;
    void setDeletedFilesFolder(const std::string& text) override;
    bool deleteAfterSending() const override;
    void setDeleteAfterSending(bool on) override;
    int fillTarget() const { return static_cast<int>(form_.fillTarget()); }

    HWND handle() const { return window_.get(); }
    HWND Label1 = nullptr;
    HWND Label2 = nullptr;
    HWND Label3 = nullptr;
    HWND Label4 = nullptr;
    HWND Edit1 = nullptr;
    HWND letters_save = nullptr;
    HWND CheckBox1 = nullptr;
    HWND Button2 = nullptr;
    std::unique_ptr<FolderTree> ShellTreeView1;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l);
    LRESULT handle(UINT message, WPARAM w, LPARAM l);
    std::string text(Field field) const override;
    void setText(Field field, const std::string& text) override;
    // The control that shows a field's text, apart from the tree.
    HWND textControl(Field field) const;
    HWND control(core::SettingsForm::Control which) const;
    // The controls in the order of SettingsForm::Control.
    std::array<HWND, 5> tabOrder() const;
    void finish();

    core::SettingsForm form_;
    HWND owner_;
    bool refocusing_ = false;
    // The fonts outlive the window that uses them.
    ScaledLayout layout_;
    OwnedWindow window_;
    core::LettersView* lettersView_ = nullptr;
    bool running_ = false;
};

}  // namespace dorvel::ui::win32
