#pragma once
// The main window on the system's own controls: the recipient panel with
// its toolbar and check-list, the splitter and the letters view, and the
// program's start-up and shut-down.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "core/MainForm.h"
#include "core/Messages.h"
#include "core/RecipientList.h"
#include "core/SettingsFile.h"
#include "platform/Platform.h"
#include "ui/win32/ApplicationWindow.h"
#include "ui/win32/CheckListBox.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/Handles.h"
#include "ui/win32/LettersView.h"
#include "ui/win32/MessageWaitRunner.h"
#include "ui/win32/Unit2.h"
#include "ui/win32/Unit3.h"
#include "ui/win32/WindowFrame.h"

namespace dorvel::ui::win32 {

class TForm1 final : private core::MainFormView {
public:
    // Runs the start-up; check startFailed() before showing the window.
    TForm1(platform::Platform& platform, core::Messages& messages);
    ~TForm1();
    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    bool startFailed() const { return startFailed_; }
    // Shows the window as stored, unless the starter asks for maximised or
    // for minimised without activation.
    void showInStoredState(int showRequest);
    // The message loop's keyboard step: true when the message was a dialog
    // key (Tab, Shift+Tab, ...) and has been dealt with.
    bool dialogKey(MSG& message);
    // The shut-down: the timer goes, the settings and ticks are written.
    // Runs once.
    void FormDestroy();
    // The operator closed the window: waits end, the windows hide, and the
    // message loop ends once the handler that runs has finished.
    bool closeRequested() const { return closeRequested_; }

    HWND handle() const { return window_.get(); }
    // The owner that carries the taskbar button.
    const ApplicationWindow& application() const { return application_; }
    // The window's behaviour: the controls' events reach it directly.
    core::MainForm& form() { return form_; }
    // In 96-DPI pixels, as the settings file keeps it.
    int panelWidth() const override { return Unscaled(panelWidth_, dpi_); }

    HWND ToolBar1 = nullptr;
    std::unique_ptr<CheckListBox> CheckListBox1;
    std::unique_ptr<ShellListView> ShellListView1;
    // The shadow listing of the watch: never shown, so it needs no window.
    core::FolderListing ShellListView2;
    std::unique_ptr<TForm2> Form2;  // owned: created during start-up
    std::unique_ptr<TForm3> Form3;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l);
    LRESULT handle(UINT message, WPARAM w, LPARAM l);
    // The form's view of this window; its frame is frame_. The panel is
    // laid out by hand, beside a splitter of its own.
    void applyPanelWidth(int width) override;
    void stopWatch() override;
    core::SettingsDialog& createSettingsDialog() override;
    // The owner-drawn list paints the form's list itself.
    void showRecipients(std::vector<core::Recipient>& recipients) override;
    core::Progress& progress() override;

    void buildToolBar();
    // Fonts, pictures and sizes for the window's scale.
    void applyDpi(UINT dpi);
    int splitterWidth() const { return Scaled(core::kSplitterWidth, dpi_); }
    void layout();
    void close();

    platform::Platform& platform_;
    core::Messages& messages_;
    MessageWaitRunner runner_;
    // Declared before the window, so that they outlive it.
    ApplicationWindow application_;
    OwnedImageList images_;
    OwnedIcon icon_;
    OwnedFont font_;
    OwnedWindow window_;
    WindowFrame frame_;
    core::MainForm form_;
    bool startFailed_ = false;
    HWND focused_ = nullptr;  // the control that had the focus last
    bool closeRequested_ = false;
    bool timerRunning_ = false;
    int panelWidth_ = 185;  // on the screen, in the window's pixels
    UINT dpi_ = kDesignDpi;
    bool dragging_ = false;
};

}  // namespace dorvel::ui::win32
