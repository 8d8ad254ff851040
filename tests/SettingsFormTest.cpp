#include <gtest/gtest.h>

#include "FakePlatform.h"
#include "core/FolderEntry.h"
#include "core/SettingsForm.h"
#include "core/Texts.h"

using namespace dorvel;
using dorvel::fakes::FakePlatform;
using dorvel::fakes::RecordingMessages;
using Control = core::SettingsForm::Control;
using Target = core::SettingsForm::Target;
using Field = core::SettingsFormView::Field;

namespace {

// The dialog's fields, and a tree that takes paths as a folder tree does:
// it reports each change of its selection, a hidden folder has no node,
// and a text that is no path is refused.
class RecordingDialog final : public core::SettingsFormView {
public:
    core::SettingsForm* form = nullptr;
    std::string letters, deleted, mail, selected;

    std::string text(Field field) const override {
        switch (field) {
            case Field::Letters:
                return letters;
            case Field::DeletedFiles:
                return deleted;
            case Field::MailDirectory:
                return mail;
            case Field::Tree:
                return selected;
        }
        return {};
    }
    void setText(Field field, const std::string& text) override {
        if (field == Field::Letters) letters = text;
        if (field == Field::DeletedFiles) deleted = text;
        if (field == Field::MailDirectory) mail = text;
        if (field == Field::Tree) select(text);
    }
    void select(const std::string& path) {
        if (path.empty() || path[0] != '/') {
            throw core::PlatformError(core::texts::ErrorSettingPathText(path));
        }
        // A node's path has no trailing separator.
        std::string now =
            path.size() > 1 && path.back() == '/' ? path.substr(0, path.size() - 1) : path;
        if (now.find("/.") != std::string::npos) now.clear();
        if (now == selected) return;
        selected = now;
        form->ShellTreeView1Change();
    }
    // The operator clicks a folder in the tree.
    void click(const std::string& path) {
        selected = path;
        form->ShellTreeView1Change();
    }
};

class SettingsFormTest : public ::testing::Test {
protected:
    SettingsFormTest() {
        for (const char* folder : {"/", "/letters", "/deleted", "/other", "/.hidden"}) {
            platform.directories.insert(folder);
        }
        dialog.form = &form;
    }
    // Opens as a face does: the focus first, its field's handler, then the
    // activation.
    void open(const std::string& root) {
        const Control focus = form.focusOnOpening();
        if (focus == Control::LettersField) form.Edit1Enter();
        if (focus == Control::DeletedFilesField) form.letters_saveEnter();
        form.FormActivate("/mail/", root);
    }

    FakePlatform platform;
    RecordingMessages messages;
    RecordingDialog dialog;
    core::SettingsForm form{platform, messages, dialog};
    std::string root = "/letters";
    std::function<void(const std::string&)> setRoot = [this](const std::string& text) {
        if (platform.inspect(text) || text == core::kDesktopRoot) {
            root = text;
            return;
        }
        throw core::PlatformError(core::texts::ErrorSettingPathText(text));
    };
};

}  // namespace

TEST_F(SettingsFormTest, TheTreeFillsTheFieldEnteredLastAndAReopeningStartsWithTheLettersField) {
    dialog.deleted = "/deleted";
    open(root);
    EXPECT_EQ(dialog.mail, "/mail/");
    EXPECT_EQ(dialog.letters, "/letters");
    EXPECT_EQ(dialog.selected, "/letters");
    form.letters_saveEnter();
    EXPECT_EQ(dialog.selected, "/deleted");
    dialog.click("/other");
    EXPECT_EQ(dialog.deleted, "/other");
    EXPECT_EQ(dialog.letters, "/letters");
    form.Edit1Enter();
    dialog.click("/deleted");
    EXPECT_EQ(dialog.letters, "/deleted");

    ASSERT_TRUE(form.FormClose(setRoot, Control::DeletedFilesField));
    EXPECT_EQ(root, "/deleted");
    EXPECT_EQ(form.focusOnOpening(), Control::DeletedFilesField);
    open(root);
    EXPECT_EQ(form.fillTarget(), Target::LettersField) << "reopened with the focus in letters_save";
    dialog.click("/other");
    EXPECT_EQ(dialog.letters, "/other");
    EXPECT_EQ(dialog.deleted, "/other") << "untouched";
}

TEST_F(SettingsFormTest, EnteringAFieldRewritesItInTheTreesForm) {
    platform.directories.insert("/other/");  // the same folder, with a separator after it
    open(root);
    dialog.deleted = "/other/";
    form.letters_saveEnter();
    EXPECT_EQ(dialog.selected, "/other");
    EXPECT_EQ(dialog.deleted, "/other");
    EXPECT_EQ(dialog.letters, "/letters") << "the other field is left alone";
}

TEST_F(SettingsFormTest, AnEmptyTreePathNeverErasesAField) {
    open(root);
    dialog.deleted = "/.hidden";
    form.letters_saveEnter();
    EXPECT_EQ(dialog.selected, "");
    EXPECT_EQ(dialog.deleted, "/.hidden") << "entering a hidden folder keeps its text";
    dialog.click("");
    EXPECT_EQ(dialog.deleted, "/.hidden") << "nor does a selection cleared otherwise";
    // A text that names no folder leaves the tree alone.
    dialog.letters = "/nowhere";
    form.Edit1Enter();
    EXPECT_EQ(dialog.selected, "");
    EXPECT_TRUE(messages.platformErrors.empty());
}

TEST_F(SettingsFormTest, AFirstRunSaysThePathErrorOpensAllTheSameAndClosesUnchanged) {
    root = core::kDesktopRoot;
    open(root);
    EXPECT_EQ(messages.platformErrors,
              std::vector<std::string>{core::texts::ErrorSettingPathText(core::kDesktopRoot)});
    EXPECT_EQ(dialog.letters, core::kDesktopRoot);
    EXPECT_TRUE(form.FormClose(setRoot, Control::Finish));
    EXPECT_EQ(root, core::kDesktopRoot);
}

TEST_F(SettingsFormTest, ARefusedLettersFolderKeepsTheDialogOpenAndTheRoot) {
    open(root);
    dialog.letters = "/gone";
    EXPECT_FALSE(form.FormClose(setRoot, Control::Finish));
    EXPECT_EQ(root, "/letters");
    EXPECT_EQ(messages.platformErrors,
              std::vector<std::string>{core::texts::ErrorSettingPathText("/gone")});
    dialog.letters = "/other";
    EXPECT_TRUE(form.FormClose(setRoot, Control::Finish));
    EXPECT_EQ(root, "/other");
}
