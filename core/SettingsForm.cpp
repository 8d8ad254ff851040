#include "core/SettingsForm.h"

namespace dorvel::core {

using Field = SettingsFormView::Field;

SettingsForm::SettingsForm(platform::Platform& platform, Messages& messages, SettingsFormView& view)
    : platform_(platform), messages_(messages), view_(view) {}

void SettingsForm::FormActivate(const std::string& mailDirectory, const std::string& lettersRoot) {
    fillTarget_ = Target::LettersField;
    view_.setText(Field::MailDirectory, mailDirectory);
    view_.setText(Field::Letters, lettersRoot);
    // Unchecked: a first run's root is a name the tree cannot take, and the
    // dialog opens all the same after saying so.
    try {
        view_.setText(Field::Tree, view_.text(Field::Letters));
    } catch (const PlatformError& e) {
        messages_.platformError(e.what());
    }
}

void SettingsForm::Edit1Enter() {
    fillTarget_ = Target::LettersField;
    enterField(view_.text(Field::Letters));
}

void SettingsForm::letters_saveEnter() {
    fillTarget_ = Target::DeletedFilesField;
    enterField(view_.text(Field::DeletedFiles));
}

void SettingsForm::enterField(const std::string& text) {
    if (const auto info = platform_.inspect(text); !info || !info->isFolder) return;
    try {
        view_.setText(Field::Tree, text);
    } catch (const PlatformError& e) {
        messages_.platformError(e.what());
    }
}

void SettingsForm::ShellTreeView1Change() {
    const std::string path = view_.text(Field::Tree);
    // A folder without a node (a hidden one) leaves the tree without a
    // selection; that must not erase what the operator typed.
    if (path.empty()) return;
    view_.setText(fillTarget_ == Target::LettersField ? Field::Letters : Field::DeletedFiles, path);
}

bool SettingsForm::FormClose(const std::function<void(const std::string&)>& setLettersRoot,
                             Control focus) {
    focusAtClose_ = focus;
    try {
        setLettersRoot(view_.text(Field::Letters));
    } catch (const PlatformError& e) {
        messages_.platformError(e.what());
        return false;
    }
    return true;
}

}  // namespace dorvel::core
