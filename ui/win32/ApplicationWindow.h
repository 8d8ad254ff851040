#pragma once
// The window that carries the program's taskbar button. It owns the main
// window, and an owned window gets no button of its own, so the button
// shows the program's title ("Dorvel") while the main window's caption is
// ".". It has no size and is never seen; minimising the program minimises
// it, which takes the main window off the screen until it is restored.

#include <windows.h>

#include <string>

#include "ui/win32/Handles.h"

namespace dorvel::ui::win32 {

class ApplicationWindow {
public:
    explicit ApplicationWindow(const std::string& title);
    ApplicationWindow(const ApplicationWindow&) = delete;
    ApplicationWindow& operator=(const ApplicationWindow&) = delete;

    HWND handle() const { return window_.get(); }
    void setMainForm(HWND form) { form_ = form; }
    // Shows the taskbar button, minimised or not; the main window shows
    // itself, and again with the state given after a restore.
    void show(bool minimised, int formShow);
    void minimize();
    bool minimized() const { return ::IsIconic(window_.get()) != FALSE; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l);
    LRESULT handle(UINT message, WPARAM w, LPARAM l);
    void restoreForm();

    OwnedWindow window_;
    HWND form_ = nullptr;
    int formShow_ = SW_SHOWNORMAL;
};

}  // namespace dorvel::ui::win32
