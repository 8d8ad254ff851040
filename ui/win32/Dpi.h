#pragma once
// The scale a window is shown at. The windows are laid out in pixels at 96
// dots per inch, as on a screen at 100%, and every size is scaled to the
// window's own DPI; the settings file keeps these 96-DPI pixels.

#include <windows.h>

namespace dorvel::ui::win32 {

inline constexpr UINT kDesignDpi = 96;

// The window's DPI where the system tells it per window (Windows 10 1607
// and later), otherwise the system's. Looked up at run time: Windows 7 and
// 8.1 have no such function, and a program naming it would not start there.
UINT DpiOf(HWND window);
// The system's DPI: the primary screen's scale at log-on.
UINT SystemDpi();

inline int Scaled(int value, UINT dpi) {
    return ::MulDiv(value, static_cast<int>(dpi), static_cast<int>(kDesignDpi));
}
// Back to 96-DPI pixels.
inline int Unscaled(int value, UINT dpi) {
    return ::MulDiv(value, static_cast<int>(kDesignDpi), static_cast<int>(dpi));
}
inline RECT Scaled(const RECT& r, UINT dpi) {
    return {Scaled(r.left, dpi), Scaled(r.top, dpi), Scaled(r.right, dpi), Scaled(r.bottom, dpi)};
}

// The frame for a client area of that size, with the frame's own metrics at
// that DPI where the system can tell them.
RECT FrameForClient(const RECT& client, DWORD style, DWORD extendedStyle, UINT dpi);

}  // namespace dorvel::ui::win32
