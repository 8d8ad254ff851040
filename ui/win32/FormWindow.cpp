#include "ui/win32/FormWindow.h"

namespace dorvel::ui::win32 {

OwnedWindow CreateFormWindow(const FormPlace& place, void* form, WNDPROC procedure) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW known{};
    known.cbSize = sizeof known;
    if (!::GetClassInfoExW(instance, place.className, &known)) {
        WNDCLASSEXW c{};
        c.cbSize = sizeof c;
        c.lpfnWndProc = DefWindowProcW;
        c.hInstance = instance;
        c.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        c.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(1));
        c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        c.lpszClassName = place.className;
        ::RegisterClassExW(&c);
    }
    RECT frame{0, 0, place.width, place.height};
    if (place.sizeIsClient) {
        ::AdjustWindowRectEx(&frame, place.style, FALSE, place.extendedStyle);
    }
    OwnedWindow window(::CreateWindowExW(place.extendedStyle, place.className, place.caption,
                                         place.style, place.left, place.top,
                                         frame.right - frame.left, frame.bottom - frame.top,
                                         place.owner, nullptr, instance, nullptr));
    ::SetWindowLongPtrW(window.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    ::SetWindowLongPtrW(window.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
    return window;
}

HWND CreateControl(HWND parent, const wchar_t* kind, const wchar_t* text, DWORD style, RECT place,
                   HFONT font, int id, DWORD extendedStyle) {
    HWND control =
        ::CreateWindowExW(extendedStyle, kind, text, WS_CHILD | WS_VISIBLE | style, place.left,
                          place.top, place.right - place.left, place.bottom - place.top, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

}  // namespace dorvel::ui::win32
