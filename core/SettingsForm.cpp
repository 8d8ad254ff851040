#include "core/SettingsForm.h"

namespace dorvel::core {

SettingsForm::SettingsForm(platform::Platform& platform, Messages& messages, SettingsFormView& view)
    : platform_(platform), messages_(messages), view_(view) {}

void SettingsForm::FormActivate(const std::string& mailDirectory, const std::string& lettersRoot) {
    fillTarget_ = Target::LettersField;
    view_.setMailDirectory(mailDirectory);
    view_.setLettersField(lettersRoot);
    // Unchecked: a first run's root is a name the tree cannot take, and the
    // dialog opens all the same after saying so.
    try {
        view_.setTreePath(view_.lettersField());
    } catch (const PlatformError& e) {
        messages_.platformError(e.what());
    }
}

void SettingsForm::Edit1Enter() {
    fillTarget_ = Target::LettersField;
    enterField(view_.lettersField());
}

void SettingsForm::letters_saveEnter() {
    fillTarget_ = Target::DeletedFilesField;
    enterField(view_.deletedFilesField());
}

void SettingsForm::enterField(const std::string& text) {
    if (const auto info = platform_.inspect(text); !info || !info->isFolder) return;
    try {
        view_.setTreePath(text);
    } catch (const PlatformError& e) {
        messages_.platformError(e.what());
    }
}

void SettingsForm::ShellTreeView1Change() {
    const std::string path = view_.treePath();
    // A folder without a node (a hidden one) leaves the tree without a
    // selection; that must not erase what the operator typed.
    if (path.empty()) return;
    if (fillTarget_ == Target::LettersField) {
        view_.setLettersField(path);
    } else {
        view_.setDeletedFilesField(path);
    }
}

bool SettingsForm::FormClose(const std::function<void(const std::string&)>& setLettersRoot,
                             Control focus) {
    focusAtClose_ = focus;
    try {
        setLettersRoot(view_.lettersField());
    } catch (const PlatformError& e) {
        messages_.platformError(e.what());
        return false;
    }
    return true;
}

}  // namespace dorvel::core
