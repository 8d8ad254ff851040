#include "ui/win32/WindowFrame.h"

#include "ui/win32/Dpi.h"

namespace dorvel::ui::win32 {

// The frame is given and asked for in 96-DPI pixels, as the settings file
// keeps it: its place counted on its monitor at that monitor's scale, its
// size at the window's.
std::optional<core::ScreenRect> WindowFrame::availableArea(const core::ScreenRect& frame) const {
    // The work area of the monitor the stored frame stands on, or else of
    // the one nearest it.
    const auto on = MonitorOfStored({frame.left, frame.top}, Monitors());
    const MonitorScale monitor =
        on ? *on
           : MonitorOf(Scaled(
                 RECT{frame.left, frame.top, frame.left + frame.width, frame.top + frame.height},
                 DpiOf(window_.get())));
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!::GetMonitorInfoW(::MonitorFromRect(&monitor.bounds, MONITOR_DEFAULTTONEAREST), &info)) {
        return std::nullopt;
    }
    const RECT& work = info.rcWork;
    const POINT corner = ToStored({work.left, work.top}, monitor);
    return core::ScreenRect{corner.x, corner.y, Unscaled(work.right - work.left, monitor.dpi),
                            Unscaled(work.bottom - work.top, monitor.dpi)};
}

void WindowFrame::applyFrame(const core::ScreenRect& frame) {
    const HWND window = window_.get();
    const auto on = MonitorOfStored({frame.left, frame.top}, Monitors());
    const UINT was = DpiOf(window);
    const POINT place = on ? ToScreen({frame.left, frame.top}, *on)
                           : POINT{Scaled(frame.left, was), Scaled(frame.top, was)};
    // Onto its monitor first: one of another scale changes the window's
    // (WM_DPICHANGED), and the size is then taken at the scale it has there.
    ::SetWindowPos(window, nullptr, place.x, place.y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The stored size is the frame's, as Top and Left are the frame's place.
    const UINT dpi = DpiOf(window);
    ::MoveWindow(window, place.x, place.y, Scaled(frame.width, dpi), Scaled(frame.height, dpi),
                 FALSE);
    measureWorkspace();
    applied_();
}

void WindowFrame::measureWorkspace() {
    WINDOWPLACEMENT now{};
    now.length = sizeof now;
    RECT shown{};
    if (::IsIconic(window_.get()) || ::IsZoomed(window_.get()) ||
        !::GetWindowPlacement(window_.get(), &now) || !::GetWindowRect(window_.get(), &shown)) {
        return;
    }
    workspaceOrigin_ =
        POINT{shown.left - now.rcNormalPosition.left, shown.top - now.rcNormalPosition.top};
}

POINT WindowFrame::workspaceOrigin() const {
    if (workspaceOrigin_) return *workspaceOrigin_;
    RECT work{};
    if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) return POINT{0, 0};
    return POINT{work.left, work.top};
}

WINDOWPLACEMENT WindowFrame::placement() const {
    WINDOWPLACEMENT placement = placementAtClose_;
    if (placement.length == 0) {
        placement.length = sizeof placement;
        ::GetWindowPlacement(window_.get(), &placement);
    }
    return placement;
}

core::ScreenRect WindowFrame::normalFrame() const {
    RECT normal = placement().rcNormalPosition;
    const POINT origin = workspaceOrigin();
    ::OffsetRect(&normal, origin.x, origin.y);
    const POINT place = ToStored({normal.left, normal.top}, MonitorOf(normal));
    const UINT dpi = DpiOf(window_.get());
    return {place.x, place.y, Unscaled(normal.right - normal.left, dpi),
            Unscaled(normal.bottom - normal.top, dpi)};
}

int WindowFrame::windowState() const {
    const UINT show = placement().showCmd;
    return minimizedAtClose_ || show == SW_SHOWMINIMIZED ? 1 : show == SW_SHOWMAXIMIZED ? 2 : 0;
}

void WindowFrame::keepAtClose() {
    measureWorkspace();
    placementAtClose_.length = sizeof placementAtClose_;
    ::GetWindowPlacement(window_.get(), &placementAtClose_);
    minimizedAtClose_ = application_.minimized();
}

}  // namespace dorvel::ui::win32
