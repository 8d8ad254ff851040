#pragma once
// The scale a window is shown at. The windows are laid out in pixels at 96
// dots per inch, as on a screen at 100%, and every size is scaled to the
// window's own DPI; the settings file keeps these 96-DPI pixels.

#include <windows.h>

#include <optional>
#include <vector>

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

// A monitor: its bounds in the screen's pixels and its DPI.
struct MonitorScale {
    RECT bounds;
    UINT dpi;
};
// Every monitor, with its own DPI where the system tells it (Windows 8.1
// and later), otherwise the system's.
std::vector<MonitorScale> Monitors();
// The monitor that holds most of a rectangle in the screen's pixels, or the
// nearest one.
MonitorScale MonitorOf(const RECT& screen);

// A place on a monitor in 96-DPI pixels and back, counted from the monitor's
// top-left corner, which stays where the screen has it (as Qt counts): the
// ranges of two monitors side by side then never overlap, whatever their
// scales, and a place stored on one comes back on that one.
POINT ToStored(POINT screen, const MonitorScale& monitor);
POINT ToScreen(POINT stored, const MonitorScale& monitor);
// The monitor whose range, at its own scale, holds a stored place.
std::optional<MonitorScale> MonitorOfStored(POINT stored,
                                            const std::vector<MonitorScale>& monitors);

// The frame for a client area of that size, with the frame's own metrics at
// that DPI where the system can tell them.
RECT FrameForClient(const RECT& client, DWORD style, DWORD extendedStyle, UINT dpi);

}  // namespace dorvel::ui::win32
