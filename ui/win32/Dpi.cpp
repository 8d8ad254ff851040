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
