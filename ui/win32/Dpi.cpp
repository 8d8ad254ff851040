#include "ui/win32/Dpi.h"

namespace dorvel::ui::win32 {
namespace {

template <typename Function>
Function User32(const char* name) {
    const HMODULE user = ::GetModuleHandleW(L"user32.dll");
    return user == nullptr ? nullptr
                           : reinterpret_cast<Function>(
                                 reinterpret_cast<void (*)()>(::GetProcAddress(user, name)));
}

}  // namespace

UINT SystemDpi() {
    static const UINT dpi = [] {
        UINT found = kDesignDpi;
        if (const HDC screen = ::GetDC(nullptr)) {
            const int across = ::GetDeviceCaps(screen, LOGPIXELSX);
            if (across > 0) found = static_cast<UINT>(across);
            ::ReleaseDC(nullptr, screen);
        }
        return found;
    }();
    return dpi;
}

UINT DpiOf(HWND window) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto forWindow = User32<GetDpiForWindowFunction>("GetDpiForWindow");
    if (forWindow != nullptr && window != nullptr) {
        if (const UINT dpi = forWindow(window); dpi > 0) return dpi;
    }
    return SystemDpi();
}

namespace {

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT bounds, LPARAM into) {
    // GetDpiForMonitor (shcore, Windows 8.1 and later), looked up at run time.
    using ForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const auto forMonitor = [] {
        const HMODULE shcore = ::LoadLibraryW(L"shcore.dll");
        return shcore == nullptr
                   ? nullptr
                   : reinterpret_cast<ForMonitorFunction>(reinterpret_cast<void (*)()>(
                         ::GetProcAddress(shcore, "GetDpiForMonitor")));
    }();
    UINT dpi = SystemDpi(), found = 0, unused = 0;
    constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
    if (forMonitor != nullptr && SUCCEEDED(forMonitor(monitor, kEffectiveDpi, &found, &unused)) &&
        found > 0) {
        dpi = found;
    }
    reinterpret_cast<std::vector<MonitorScale>*>(into)->push_back({*bounds, dpi});
    return TRUE;
}

}  // namespace

std::vector<MonitorScale> Monitors() {
    std::vector<MonitorScale> monitors;
    ::EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

MonitorScale MonitorOf(const RECT& screen) {
    const HMONITOR nearest = ::MonitorFromRect(&screen, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (::GetMonitorInfoW(nearest, &info)) {
        for (const auto& monitor : Monitors()) {
            if (::EqualRect(&monitor.bounds, &info.rcMonitor)) return monitor;
        }
        return {info.rcMonitor, SystemDpi()};
    }
    return {RECT{0, 0, 0, 0}, SystemDpi()};
}

POINT ToStored(POINT screen, const MonitorScale& monitor) {
    return {monitor.bounds.left + Unscaled(screen.x - monitor.bounds.left, monitor.dpi),
            monitor.bounds.top + Unscaled(screen.y - monitor.bounds.top, monitor.dpi)};
}

POINT ToScreen(POINT stored, const MonitorScale& monitor) {
    return {monitor.bounds.left + Scaled(stored.x - monitor.bounds.left, monitor.dpi),
            monitor.bounds.top + Scaled(stored.y - monitor.bounds.top, monitor.dpi)};
}

std::optional<MonitorScale> MonitorOfStored(POINT stored,
                                            const std::vector<MonitorScale>& monitors) {
    for (const auto& monitor : monitors) {
        const POINT end = ToStored({monitor.bounds.right, monitor.bounds.bottom}, monitor);
        if (stored.x >= monitor.bounds.left && stored.y >= monitor.bounds.top && stored.x < end.x &&
            stored.y < end.y) {
            return monitor;
        }
    }
    return std::nullopt;
}

RECT FrameForClient(const RECT& client, DWORD style, DWORD extendedStyle, UINT dpi) {
    using AdjustForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjust = User32<AdjustForDpiFunction>("AdjustWindowRectExForDpi");
    RECT frame = client;
    if (adjust == nullptr || !adjust(&frame, style, FALSE, extendedStyle, dpi)) {
        frame = client;
        ::AdjustWindowRectEx(&frame, style, FALSE, extendedStyle);
    }
    return frame;
}

}  // namespace dorvel::ui::win32
