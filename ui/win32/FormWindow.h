#pragma once
// A form's own top-level window: its class registered once, its frame
// sized so that the client area has the size the form is drawn for, and
// its messages handed to the form object.

#include <windows.h>

#include "ui/win32/Handles.h"

namespace dorvel::ui::win32 {

struct FormPlace {
    const wchar_t* className;
    const wchar_t* caption;
    DWORD style;
    DWORD extendedStyle;
    int left, top;
    int width, height;
    bool sizeIsClient;  // the client area's size, else the frame's
    HWND owner;
};

// Creates the window; until it returns, messages go to the default
// procedure, and afterwards to procedure, with the form in GWLP_USERDATA.
OwnedWindow CreateFormWindow(const FormPlace& place, void* form, WNDPROC procedure);

// The form a window procedure was given, or null before it was set.
template <typename Form>
Form* FormOf(HWND window) {
    return reinterpret_cast<Form*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

// A child control with the font given.
HWND CreateControl(HWND parent, const wchar_t* kind, const wchar_t* text, DWORD style, RECT place,
                   HFONT font, int id = 0, DWORD extendedStyle = 0);

}  // namespace dorvel::ui::win32
