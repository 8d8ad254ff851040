#pragma once
// The main window's behaviour, apart from any widget: the start in its
// order, the toolbar's handlers with their write-backs, the watch's tick and
// the exit with the values it writes. A face builds the controls, implements
// MainFormView and FrameView over them and wires each event to the form.

#include <optional>
#include <string>
#include <vector>

#include "core/FolderEntry.h"
#include "core/FolderListing.h"
#include "core/LettersWatch.h"
#include "core/MailSending.h"
#include "core/Messages.h"
#include "core/Progress.h"
#include "core/RecipientList.h"
#include "core/SettingsFile.h"
#include "core/StartupReads.h"
#include "core/WindowPlacement.h"
#include "platform/Platform.h"

namespace dorvel::core {

// The panel never gets narrower than this, nor leaves the letters view less.
inline constexpr int kMinimumPanelWidth = 30;
inline constexpr int kSplitterWidth = 3;

// The recipient panel's width as a window whose client area is this wide
// shows it.
int ShownPanelWidth(int requested, int clientWidth);

// The letters view as the form uses it; the faces' letters views are ones.
class LettersView {
public:
    virtual ~LettersView() = default;
    virtual std::optional<FolderEntry> SelectedEntry() const = 0;
    virtual const std::string& root() const = 0;
    // Throws PlatformError when the text names no folder, keeping root and
    // listing.
    virtual void setRoot(const std::string& text) = 0;
    // Shows a listing made before the view existed, as setting its root would.
    virtual void adoptListing(FolderListing& listed) = 0;
    virtual void ensureListed() = 0;
    virtual const FolderListing& listing() const = 0;
    virtual void Relist() = 0;
};

// The settings dialog. Its two controls are the live store of the
// deleted-files folder and the option, opened or not.
class SettingsDialog {
public:
    virtual ~SettingsDialog() = default;
    // Shows the dialog modally; returns when it has closed.
    virtual void ShowSettings(const std::string& mailDirectory, LettersView& lettersView) = 0;
    virtual std::string deletedFilesFolder() const = 0;
    virtual void setDeletedFilesFolder(const std::string& folder) = 0;
    virtual bool deleteAfterSending() const = 0;
    virtual void setDeleteAfterSending(bool on) = 0;
};

// The main window's frame, as plain values: the outer one, in the
// desktop's coordinates; a window state is 0 normal, 1 minimised,
// 2 maximised.
class FrameView {
public:
    virtual ~FrameView() = default;
    // Where a window may be placed; nothing when the face cannot tell.
    virtual std::optional<ScreenRect> availableArea(const ScreenRect& frame) const = 0;
    virtual void applyFrame(const ScreenRect& frame) = 0;
    // The frame the window has when it is neither minimised nor maximised.
    virtual ScreenRect normalFrame() const = 0;
    // False where the system never tells a program where its window is
    // (Wayland): the frame's left and top then mean nothing.
    virtual bool knowsPosition() const = 0;
    virtual int windowState() const = 0;
};

// What the form needs of the window's contents, apart from the letters
// view.
class MainFormView {
public:
    virtual ~MainFormView() = default;
    virtual void applyPanelWidth(int width) = 0;
    // The panel's width as it is on the screen.
    virtual int panelWidth() const = 0;
    // Stops the watch's timer for good.
    virtual void stopWatch() = 0;
    // The settings dialog, made once at the start.
    virtual SettingsDialog& createSettingsDialog() = 0;
    // The recipient list shows these, which stay in the form.
    virtual void showRecipients(std::vector<Recipient>& recipients) = 0;
    // The progress window, made after the start.
    virtual Progress& progress() = 0;
};

class MainForm {
public:
    // The shadow listing is the watch's; it lists what the letters view
    // displays.
    MainForm(platform::Platform& platform, Messages& messages, ProcessRunner& runner,
             MainFormView& view, FrameView& frame, FolderListing& shadow);

    // The start from what was read: the settings applied to the window, the
    // letters root, the dialog with its two settings, the recipients with
    // their ticks. False when the recipients could not be loaded: the
    // program then ends without showing its window. The form works through
    // this letters view from here on.
    bool FormCreate(StartupReads& reads, LettersView& letters);
    // The state the window opens in: 0 normal, 1 minimised, 2 maximised.
    int storedWindowState() const { return storedWindowState_; }

    // The toolbar.
    void N3Click();
    void ToolButton2Click();
    void ToolButton3Click();
    void ToolButton4Click();
    void ShowDeletedFolder();
    void Timer1Timer();
    // The operator closes the window: a send waiting on the mail tool stops
    // waiting; its remaining runs and its move still happen.
    void closeRequested();
    // The exit: the watch stops, then the settings and the ticks are
    // written. Runs once.
    void FormDestroy();

    // What the exit writes, as the window shows it now.
    SettingsRecord currentValues() const;
    const std::string& mailDirectory() const { return mailDirectory_; }
    std::vector<Recipient>& recipients() { return recipients_; }

private:
    void chooseRoot(StartupReads& reads, const std::string& stored);

    platform::Platform& platform_;
    Messages& messages_;
    ProcessRunner& runner_;
    MainFormView& view_;
    FrameView& frame_;
    FolderListing& shadow_;
    LettersWatch watch_;
    LettersView* letters_ = nullptr;  // given at the start
    std::string mailDirectory_;
    std::vector<Recipient> recipients_;
    bool settingsReadFailed_ = false;    // then the exit never writes over the file
    SettingsDialog* options_ = nullptr;  // made during the start
    bool destroyed_ = false;
    int storedWindowState_ = 0;
    SettingsRecord stored_;
    // A stored letters folder that is missing at the start (a share not yet
    // mounted, a name that is no folder) is written back as it was unless a
    // root is set meanwhile.
    std::string storedLetters_;
    std::string rootAtStart_;
};

}  // namespace dorvel::core
