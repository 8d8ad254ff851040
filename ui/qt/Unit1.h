#pragma once
// The main window: the recipient panel, the splitter and the letters area,
// and the program's start-up and shut-down.

#include <QSize>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/FolderListing.h"
#include "core/Messages.h"
#include "core/RecipientList.h"
#include "core/SettingsFile.h"
#include "core/StartupReads.h"
#include "platform/Platform.h"

class QFrame;
class QSplitter;
class QTimer;
class QToolButton;

namespace dorvel::ui {

class CheckListBox;
class ShellListView;
class EventLoopRunner;
class TForm2;
class TForm3;

class TForm1 final : public QWidget {
    Q_OBJECT
public:
    // Runs the start-up; check startFailed() before showing the window.
    TForm1(platform::Platform& platform, core::Messages& messages, QWidget* parent = nullptr);

    bool startFailed() const { return startFailed_; }
    // Shows the window minimised, normal or maximised as it was stored.
    void showInStoredState();
    // The shut-down: writes the settings and the ticks. Runs once.
    void FormDestroy();

    const std::string& mailDirectory() const { return mailDirectory_; }
    std::vector<core::Recipient>& recipients() { return recipients_; }
    int panelWidth() const;

    QWidget* Panel1;
    QFrame* ToolBar1;
    QToolButton* ToolButton1;
    QToolButton* ToolButton2;
    QToolButton* ToolButton4;
    QToolButton* ToolButton3;
    CheckListBox* CheckListBox1;
    QSplitter* Splitter1;
    ShellListView* ShellListView1;
    // The shadow listing of the watch: never shown, so it needs no widget.
    core::FolderListing ShellListView2;
    QTimer* Timer1;
    TForm2* Form2 = nullptr;  // owned: created during start-up
    TForm3* Form3 = nullptr;  // owned: created right after this window

    void Timer1Timer();
    void N3Click();
    void ToolButton2Click();
    void ToolButton4Click();
    void ToolButton3Click();
    void ShowDeletedFolder();

signals:
    // The operator closed the window: the program is to end, even when a
    // handler below still finishes its work (a send's remaining runs and
    // its move) and shows a window again on the way.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    // Shows an error that escaped a handler; the program carries on.
    void showPlatformError(const core::PlatformError& error);
    void applyPanelWidth(int width);
    // The stored size is the frame's; the frame is known only once the
    // window manager has framed the shown window.
    bool applyOuterSize();
    core::SettingsRecord currentValues() const;

    platform::Platform& platform_;
    core::Messages& messages_;
    EventLoopRunner* runner_;
    std::string mailDirectory_;
    bool settingsReadFailed_ = false;  // then the exit never writes over the file
    std::vector<core::Recipient> recipients_;
    bool startFailed_ = false;
    // What the start read before the controls existed, until FormCreate
    // has applied it.
    std::unique_ptr<core::StartupReads> startupReads_;
    bool destroyed_ = false;
    int storedWindowState_ = 0;
    int panelWidth_ = 185;
    std::optional<QSize> outerSizeToApply_;
    QTimer* frameWatch_ = nullptr;
    // A stored letters folder that is missing at start-up (a share not yet
    // mounted) is written back as it was unless a root is set meanwhile.
    std::string storedLetters_;
    std::string rootAtStart_;
};

}  // namespace dorvel::ui
