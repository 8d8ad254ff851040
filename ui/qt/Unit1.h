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
#include "core/MainForm.h"
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

class TForm1 final : public QWidget, private core::MainFormView, private core::FrameView {
    Q_OBJECT
public:
    // Runs the start-up; check startFailed() before showing the window.
    TForm1(platform::Platform& platform, core::Messages& messages, QWidget* parent = nullptr);

    bool startFailed() const { return startFailed_; }
    // Shows the window minimised, normal or maximised as it was stored.
    void showInStoredState();
    // The shut-down: writes the settings and the ticks. Runs once.
    void FormDestroy();

    // The window's behaviour: the controls' events reach it directly.
    core::MainForm& form() { return form_; }
    int panelWidth() const override;

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

signals:
    // The operator closed the window: the program is to end, even when a
    // handler of the form still finishes its work (a send's remaining runs
    // and its move) and shows a window again on the way.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The form's view of this window. The splitter's first pane is the
    // panel.
    void applyPanelWidth(int width) override;
    void stopWatch() override;
    core::SettingsDialog& createSettingsDialog() override;
    // The check-list's model is the form's list itself.
    void showRecipients(std::vector<core::Recipient>& recipients) override;
    core::Progress& progress() override;
    // The frame: its place and size are Qt's own, its extents the window
    // manager's.
    std::optional<core::ScreenRect> availableArea(const core::ScreenRect& frame) const override;
    void applyFrame(const core::ScreenRect& frame) override;
    core::ScreenRect normalFrame() const override;
    bool knowsPosition() const override;
    int windowState() const override;

    // The stored size is the frame's; the frame is known only once the
    // window manager has framed the shown window in its normal state.
    void watchFrame();
    void applyOuterSize();

    platform::Platform& platform_;
    core::Messages& messages_;
    EventLoopRunner* runner_;
    core::MainForm form_;
    bool startFailed_ = false;
    int panelWidth_ = 185;
    std::optional<QSize> outerSizeToApply_;
    QTimer* frameWatch_ = nullptr;
};

}  // namespace dorvel::ui
