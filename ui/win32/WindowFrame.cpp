#include "ui/win32/WindowFrame.h"

namespace dorvel::ui::win32 {

std::optional<core::ScreenRect> WindowFrame::availableArea(const core::ScreenRect& frame) const {
    // The work area of the monitor nearest the stored frame.
    const RECT wanted{frame.left, frame.top, frame.left + frame.width, frame.top + frame.height};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!::GetMonitorInfoW(::MonitorFromRect(&wanted, MONITOR_DEFAULTTONEAREST), &monitor)) {
        return std::nullopt;
    }
    const RECT& work = monitor.rcWork;
    return core::ScreenRect{work.left, work.top, work.right - work.left, work.bottom - work.top};
}

void WindowFrame::applyFrame(const core::ScreenRect& frame) {
    // The stored size is the frame's, as Top and Left are the frame's place.
    ::MoveWindow(window_.get(), frame.left, frame.top, frame.width, frame.height, FALSE);
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
    return {normal.left + origin.x, normal.top + origin.y, normal.right - normal.left,
            normal.bottom - normal.top};
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
