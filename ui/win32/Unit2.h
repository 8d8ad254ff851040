#pragma once
// The settings dialog's live values: the deleted-files folder field and the
// delete-after-sending check box, which the main window reads whenever an
// action or the shut-down needs them, whether or not the dialog was opened.

#include <string>

namespace dorvel::ui::win32 {

class TForm2 {
public:
    const std::string& deletedFilesFolder() const { return letters_save_; }
    void setDeletedFilesFolder(std::string text) { letters_save_ = std::move(text); }
    bool deleteAfterSending() const { return CheckBox1_; }
    void setDeleteAfterSending(bool on) { CheckBox1_ = on; }

private:
    std::string letters_save_;
    bool CheckBox1_ = false;
};

}  // namespace dorvel::ui::win32
