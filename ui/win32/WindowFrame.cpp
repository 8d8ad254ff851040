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
    applied_();
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
    return {normal.left, normal.top, normal.right - normal.left, normal.bottom - normal.top};
}

int WindowFrame::windowState() const {
    const UINT show = placement().showCmd;
    return minimizedAtClose_ || show == SW_SHOWMINIMIZED ? 1 : show == SW_SHOWMAXIMIZED ? 2 : 0;
}

void WindowFrame::keepAtClose() {
    placementAtClose_.length = sizeof placementAtClose_;
    ::GetWindowPlacement(window_.get(), &placementAtClose_);
    minimizedAtClose_ = application_.minimized();
}

}  // namespace dorvel::ui::win32
