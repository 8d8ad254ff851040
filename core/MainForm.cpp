#include "core/MainForm.h"

#include <algorithm>

#include "core/DeletedFilesMover.h"
#include "core/FileBrowser.h"
#include "core/LettersWatch.h"
#include "core/Texts.h"

namespace dorvel::core {

int ShownPanelWidth(int requested, int clientWidth) {
    return std::max(kMinimumPanelWidth,
                    std::min(requested, clientWidth - kSplitterWidth - kMinimumPanelWidth));
}

MainForm::MainForm(platform::Platform& platform, Messages& messages, ProcessRunner& runner,
                   MainFormView& view, FrameView& frame, FolderListing& shadow)
    : platform_(platform),
      messages_(messages),
      runner_(runner),
      view_(view),
      frame_(frame),
      shadow_(shadow),
      watch_(platform) {
    stored_.moveDir = DefaultMoveDir(platform_);
}

bool MainForm::FormCreate(StartupReads& reads, LettersView& letters) {
    letters_ = &letters;
    // The busy pointer is never set by the listings, so nothing maps it away.
    stored_ = reads.settings.ReadSettings(stored_);
    settingsReadFailed_ = reads.settings.readFailed();
    reads.settingsMessages.showTo(messages_);
    ScreenRect frame{stored_.left, stored_.top, stored_.width, stored_.height};
    if (const auto area = frame_.availableArea(frame)) frame = ReachableFrame(frame, *area);
    storedWindowState_ = stored_.windowState;
    frame_.applyFrame(frame);
    view_.applyPanelWidth(stored_.panel1);
    chooseRoot(reads, stored_.letters);
    options_ = &view_.createSettingsDialog();
    options_->setDeleteAfterSending(stored_.postMove);
    options_->setDeletedFilesFolder(stored_.moveDir);

    reads.recipientMessages.showTo(messages_);
    if (!reads.recipients.ok) return false;
    mailDirectory_ = std::move(reads.recipients.mailDirectory);
    recipients_ = std::move(reads.recipients.recipients);
    view_.showRecipients(recipients_);
    return true;
}

void MainForm::chooseRoot(StartupReads& reads, const std::string& stored) {
    // Only an existing folder becomes the root: a special folder's name, a
    // file or a share not yet mounted leaves the view where it is.
    LettersView& letters = *letters_;
    try {
        if (!reads.letters.empty() && reads.letters == stored) {
            if (reads.listingError) throw PlatformError(*reads.listingError);
            letters.adoptListing(reads.listing);
        } else if (const auto info = platform_.inspect(stored); info && info->isFolder) {
            letters.setRoot(stored);
        } else if (stored != letters.root()) {
            storedLetters_ = stored;
        }
    } catch (const PlatformError& e) {
        messages_.platformError(e.what());
    }
    rootAtStart_ = letters.root();
    try {
        letters.ensureListed();
    } catch (const PlatformError& e) {
        messages_.platformError(e.what());
    }
}

void MainForm::N3Click() {
    // What the operation leaves in the folder text is written back even when
    // it stops with an error midway.
    std::string folder = options_->deletedFilesFolder();
    try {
        folder = SendSelected(letters_->SelectedEntry(), recipients_, mailDirectory_,
                              options_->deleteAfterSending(), folder, view_.progress(), runner_,
                              platform_, messages_);
    } catch (const PlatformError& e) {
        options_->setDeletedFilesFolder(folder);
        messages_.platformError(e.what());
        return;
    }
    options_->setDeletedFilesFolder(folder);
}

void MainForm::ToolButton2Click() {
    try {
        options_->setDeletedFilesFolder(MoveToDeleted(letters_->SelectedEntry(),
                                                      options_->deletedFilesFolder(),
                                                      view_.progress(), platform_, messages_));
    } catch (const PlatformError& e) {
        messages_.platformError(e.what());
    }
}

void MainForm::ToolButton3Click() { options_->ShowSettings(mailDirectory_, *letters_); }

void MainForm::ToolButton4Click() { ShowDeletedFolder(); }

void MainForm::ShowDeletedFolder() {
    const std::string folder = options_->deletedFilesFolder();
    if (!platform_.start(FileBrowserCommand(platform_, folder))) {
        messages_.error(texts::CannotShowFolderText(folder));
    }
}

void MainForm::Timer1Timer() {
    if (destroyed_) return;
    try {
        LettersView& letters = *letters_;
        if (watch_.tick(letters.listing(), shadow_)) letters.Relist();
    } catch (const PlatformError& e) {
        messages_.platformError(e.what());
    }
}

void MainForm::closeRequested() { runner_.stopWaiting(); }

SettingsRecord MainForm::currentValues() const {
    SettingsRecord r;
    const ScreenRect frame = frame_.normalFrame();
    // A place the window cannot tell is not written over the one stored.
    const bool known = frame_.knowsPosition();
    r.left = known ? frame.left : stored_.left;
    r.top = known ? frame.top : stored_.top;
    r.width = frame.width;
    r.height = frame.height;
    r.windowState = frame_.windowState();
    r.panel1 = view_.panelWidth();
    const std::string& root = letters_->root();
    r.letters = !storedLetters_.empty() && root == rootAtStart_ ? storedLetters_ : root;
    r.postMove = options_ != nullptr ? options_->deleteAfterSending() : stored_.postMove;
    r.moveDir = options_ != nullptr ? options_->deletedFilesFolder() : stored_.moveDir;
    return r;
}

void MainForm::FormDestroy() {
    if (destroyed_) return;
    destroyed_ = true;
    // First, so that no tick runs while the program ends.
    view_.stopWatch();
    watch_.stop();
    try {
        const SettingsRecord values = currentValues();
        SaveAtExit(platform_, values, values.windowState == 2, recipients_, settingsReadFailed_);
    } catch (const PlatformError& e) {
        messages_.platformError(e.what());
    }
}

}  // namespace dorvel::core
