#pragma once
// The settings dialog's behaviour, apart from any widget: which folder field
// the tree fills, what entering a field does to the tree, what opening fills
// in, and the close that the letters view may refuse. A face builds the
// controls, implements SettingsFormView over them and forwards each event.

#include <functional>
#include <string>

#include "core/Messages.h"
#include "platform/Platform.h"

namespace dorvel::core {

class SettingsFormView {
public:
    // The dialog's texts: its two folder fields, the mail directory it
    // shows, and the folder tree's selected path.
    enum class Field { Letters, DeletedFiles, MailDirectory, Tree };

    virtual ~SettingsFormView() = default;
    // The tree's text is empty when nothing is selected.
    virtual std::string text(Field field) const = 0;
    // Setting the tree's path throws PlatformError for a text that is no
    // path, and reports a change of the selection to
    // SettingsForm::ShellTreeView1Change before it returns.
    virtual void setText(Field field, const std::string& text) = 0;
};

class SettingsForm {
public:
    // The controls that can hold the focus, in their tab order.
    enum class Control { LettersField, DeletedFilesField, Option, Tree, Finish };
    // Which field the tree fills.
    enum class Target { LettersField = 0, DeletedFilesField = 1 };

    SettingsForm(platform::Platform& platform, Messages& messages, SettingsFormView& view);

    // Where the focus goes as the dialog opens: the letters field the first
    // time, afterwards the control that had it when the dialog last closed.
    // Placing it there runs that field's entering handler.
    Control focusOnOpening() const { return focusAtClose_; }
    // After the focus is placed: the texts the dialog opens with.
    void FormActivate(const std::string& mailDirectory, const std::string& lettersRoot);
    void Edit1Enter();
    void letters_saveEnter();
    void ShellTreeView1Change();
    // The close, by the button or the close box, with the control that has
    // the focus. False when the letters view refused the folder: the message
    // has been shown and the dialog stays open.
    bool FormClose(const std::function<void(const std::string&)>& setLettersRoot, Control focus);

    Target fillTarget() const { return fillTarget_; }

private:
    void enterField(const std::string& text);

    platform::Platform& platform_;
    Messages& messages_;
    SettingsFormView& view_;
    Target fillTarget_ = Target::LettersField;
    Control focusAtClose_ = Control::LettersField;
};

}  // namespace dorvel::core
