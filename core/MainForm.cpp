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
                   MainFormView& view, FolderListing& shadow)
    : platform_(platform), messages_(messages), runner_(runner), view_(view), shadow_(shadow) {
    stored_.moveDir = DefaultMoveDir(platform_);
}

bool MainForm::FormCreate(StartupReads& reads) {
    // The busy pointer is never set by the listings, so nothing maps it away.
    stored_ = reads.settings.ReadSettings(stored_);
    settingsReadFailed_ = reads.settings.readFailed();
    reads.settingsMessages.showTo(messages_);
    ScreenRect frame{stored_.left, stored_.top, stored_.width, stored_.height};
    if (const auto area = view_.availableArea(frame)) frame = ReachableFrame(frame, *area);
    storedWindowState_ = stored_.windowState;
    view_.applyFrame(frame, stored_.windowState);
    view_.applyPanelWidth(stored_.panel1);
    chooseRoot(reads, stored_.letters);
    view_.createSettingsDialog();
    dialogCreated_ = true;
    view_.setDeleteAfterSending(stored_.postMove);
    view_.setDeletedFilesFolder(stored_.moveDir);

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
    try {
        if (!reads.letters.empty() && reads.letters == stored) {
            if (reads.listingError) throw PlatformError(*reads.listingError);
            view_.adoptListing(reads.listing);
        } else if (const auto info = platform_.inspect(stored); info && info->isFolder) {
            view_.setRoot(stored);
        } else if (stored != view_.root()) {
            storedLetters_ = stored;
        }
    } catch (const PlatformError& e) {
        messages_.platformError(e.what());
    }
    rootAtStart_ = view_.root();
    try {
        view_.ensureListed();
    } catch (const PlatformError& e) {
        messages_.platformError(e.what());
    }
}

void MainForm::N3Click() {
    // What the operation leaves in the folder text is written back even when
    // it stops with an error midway.
    std::string folder = view_.deletedFilesFolder();
    try {
        folder = SendSelected(view_.selectedEntry(), recipients_, mailDirectory_,
                              view_.deleteAfterSending(), folder, view_.progress(), runner_,
                              platform_, messages_);
    } catch (const PlatformError& e) {
        view_.setDeletedFilesFolder(folder);
        messages_.platformError(e.what());
        return;
    }
    view_.setDeletedFilesFolder(folder);
}

void MainForm::ToolButton2Click() {
    try {
        view_.setDeletedFilesFolder(MoveToDeleted(view_.selectedEntry(), view_.deletedFilesFolder(),
                                                  view_.progress(), platform_, messages_));
    } catch (const PlatformError& e) {
        messages_.platformError(e.what());
    }
}

void MainForm::ToolButton3Click() { view_.showSettingsDialog(mailDirectory_); }

void MainForm::ToolButton4Click() { ShowDeletedFolder(); }

void MainForm::ShowDeletedFolder() {
    const std::string folder = view_.deletedFilesFolder();
    if (!platform_.start(FileBrowserCommand(platform_, folder))) {
        messages_.error(texts::CannotShowFolderText(folder));
    }
}

void MainForm::Timer1Timer() {
    if (destroyed_) return;
    try {
        if (OnWatchTick(view_.letters(), shadow_)) view_.relist();
    } catch (const PlatformError& e) {
        messages_.platformError(e.what());
    }
}

void MainForm::closeRequested() { runner_.stopWaiting(); }

SettingsRecord MainForm::currentValues() const {
    SettingsRecord r;
    const ScreenRect frame = view_.normalFrame();
    r.left = frame.left;
    r.top = frame.top;
    r.width = frame.width;
    r.height = frame.height;
    r.windowState = view_.windowState();
    r.panel1 = view_.panelWidth();
    r.letters =
        !storedLetters_.empty() && view_.root() == rootAtStart_ ? storedLetters_ : view_.root();
    r.postMove = dialogCreated_ ? view_.deleteAfterSending() : stored_.postMove;
    r.moveDir = dialogCreated_ ? view_.deletedFilesFolder() : stored_.moveDir;
    return r;
}

void MainForm::FormDestroy() {
    if (destroyed_) return;
    destroyed_ = true;
    // First, so that no tick runs while the program ends.
    view_.stopWatch();
    try {
        const SettingsRecord values = currentValues();
        SaveAtExit(platform_, values, values.windowState == 2, recipients_, settingsReadFailed_);
    } catch (const PlatformError& e) {
        messages_.platformError(e.what());
    }
}

}  // namespace dorvel::core
