#pragma once
// A form's own top-level window: its class registered once, its frame
// sized so that the client area has the size the form is drawn for, and
// its messages handed to the form object.

#include <windows.h>

#include <cstddef>
#include <vector>

#include "ui/win32/Handles.h"

namespace dorvel::ui::win32 {

struct FormPlace {
    const wchar_t* className;
    const wchar_t* caption;
    DWORD style;
    DWORD extendedStyle;
    int left, top;
    int width, height;
    bool sizeIsClient;  // the client area's size, else the frame's
    HWND owner;
};

// Creates the window; until it returns, messages go to the default
// procedure, and afterwards to procedure, with the form in GWLP_USERDATA.
OwnedWindow CreateFormWindow(const FormPlace& place, void* form, WNDPROC procedure);

// The form a window procedure was given, or null before it was set.
template <typename Form>
Form* FormOf(HWND window) {
    return reinterpret_cast<Form*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

// A child control with the font given.
HWND CreateControl(HWND parent, const wchar_t* kind, const wchar_t* text, DWORD style, RECT place,
                   HFONT font, int id = 0, DWORD extendedStyle = 0);

// A form's fixed layout, drawn at 96 DPI: its fonts made and its controls
// placed again, and its client area sized, for the scale it is shown at.
class ScaledLayout {
public:
    struct Font {
        const wchar_t* face;
        int pixelHeight;  // at 96 DPI
        int weight;
        bool italic;
    };
    static constexpr std::size_t kNoFont = static_cast<std::size_t>(-1);

    // In the Cyrillic set: where the ANSI code page is not 1251 the default
    // set's raster face has no Cyrillic letters.
    std::size_t addFont(const Font& font);
    HFONT font(std::size_t index) const { return fonts_[index].get(); }
    // Made at 96 DPI; placed anew by apply.
    HWND add(HWND control, RECT design, std::size_t font = kNoFont);
    void apply(HWND window, SIZE designClient, UINT dpi);
    UINT dpi() const { return dpi_; }

private:
    struct Placed {
        HWND control;
        RECT design;
        std::size_t font;
    };
    std::vector<Font> wanted_;  // the fonts as asked for, at 96 DPI
    std::vector<OwnedFont> fonts_;
    std::vector<Placed> placed_;
    UINT dpi_ = 96;
};

}  // namespace dorvel::ui::win32
