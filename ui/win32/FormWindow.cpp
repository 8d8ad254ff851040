#include "ui/win32/FormWindow.h"

#include "ui/win32/Dpi.h"

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

std::size_t ScaledLayout::addFont(const Font& font) {
    wanted_.push_back(font);
    fonts_.push_back(MakeFont(font.face, Scaled(font.pixelHeight, dpi_), font.weight, font.italic,
                              RUSSIAN_CHARSET));
    return wanted_.size() - 1;
}

HWND ScaledLayout::add(HWND control, RECT design, std::size_t font) {
    placed_.push_back({control, design, font});
    return control;
}

void ScaledLayout::apply(HWND window, SIZE designClient, UINT dpi) {
    std::vector<OwnedFont> fonts;
    for (const Font& wanted : wanted_) {
        fonts.push_back(MakeFont(wanted.face, Scaled(wanted.pixelHeight, dpi), wanted.weight,
                                 wanted.italic, RUSSIAN_CHARSET));
    }
    for (const Placed& p : placed_) {
        const RECT r = Scaled(p.design, dpi);
        ::MoveWindow(p.control, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
        if (p.font != kNoFont) {
            ::SendMessageW(p.control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts[p.font].get()),
                           TRUE);
        }
    }
    // The controls hold the new fonts before the old ones go.
    fonts_ = std::move(fonts);
    dpi_ = dpi;
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
    const auto extended = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE));
    const RECT frame = FrameForClient(
        {0, 0, Scaled(designClient.cx, dpi), Scaled(designClient.cy, dpi)}, style, extended, dpi);
    ::SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace dorvel::ui::win32
