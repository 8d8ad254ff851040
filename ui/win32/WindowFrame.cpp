#include "ui/win32/WindowFrame.h"

#include "ui/win32/Dpi.h"

namespace dorvel::ui::win32 {

// The frame is given and asked for in 96-DPI pixels, as the settings file
// keeps it, and the window's scale turns them into the screen's.
std::optional<core::ScreenRect> WindowFrame::availableArea(const core::ScreenRect& frame) const {
    // The work area of the monitor nearest the stored frame.
    const UINT dpi = DpiOf(window_.get());
    const RECT wanted = Scaled(
        RECT{frame.left, frame.top, frame.left + frame.width, frame.top + frame.height}, dpi);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!::GetMonitorInfoW(::MonitorFromRect(&wanted, MONITOR_DEFAULTTONEAREST), &monitor)) {
        return std::nullopt;
    }
    const RECT& work = monitor.rcWork;
    return core::ScreenRect{Unscaled(work.left, dpi), Unscaled(work.top, dpi),
                            Unscaled(work.right - work.left, dpi),
                            Unscaled(work.bottom - work.top, dpi)};
}

void WindowFrame::applyFrame(const core::ScreenRect& frame) {
    // The stored size is the frame's, as Top and Left are the frame's place.
    const UINT dpi = DpiOf(window_.get());
    ::MoveWindow(window_.get(), Scaled(frame.left, dpi), Scaled(frame.top, dpi),
                 Scaled(frame.width, dpi), Scaled(frame.height, dpi), FALSE);
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
    const RECT normal = placement().rcNormalPosition;
    const POINT origin = workspaceOrigin();
    const UINT dpi = DpiOf(window_.get());
    return {Unscaled(normal.left + origin.x, dpi), Unscaled(normal.top + origin.y, dpi),
            Unscaled(normal.right - normal.left, dpi), Unscaled(normal.bottom - normal.top, dpi)};
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
