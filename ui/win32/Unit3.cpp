#include "ui/win32/Unit3.h"

#include <commctrl.h>

#include <cstring>

#include "core/Texts.h"
#include "platform/win32/WideText.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/FormWindow.h"

namespace dorvel::ui::win32 {
namespace {

constexpr wchar_t kClassName[] = L"TForm3";
constexpr COLORREF kMaroon = RGB(128, 0, 0);
constexpr COLORREF kGreen = RGB(0, 128, 0);
// The labels end where the animation begins.
constexpr int kLabelWidth = 216;
constexpr SIZE kClientSize{512, 87};  // at 96 DPI
constexpr int kShellClip = 160;
constexpr int kOwnClip = 2;  // copy-clip.rc

// The copy-files clip proper: 34 frames or more of 272 by 60. Wine's
// shell32 carries a placeholder under that number, and newer Windows
// releases may carry nothing.
bool IsCopyFilesClip(HMODULE module, int id) {
    const HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), L"AVI");
    if (found == nullptr) return false;
    const DWORD size = ::SizeofResource(module, found);
    const HGLOBAL loaded = ::LoadResource(module, found);
    const auto* data = static_cast<const unsigned char*>(loaded ? ::LockResource(loaded) : nullptr);
    if (data == nullptr) return false;
    auto u32 = [&](DWORD at) {
        return at + 4 <= size ? static_cast<DWORD>(data[at] | (data[at + 1] << 8) |
                                                   (data[at + 2] << 16) | (data[at + 3] << 24))
                              : 0;
    };
    for (DWORD at = 0; at + 48 <= size && at < 512; ++at) {
        if (std::memcmp(data + at, "avih", 4) != 0) continue;
        // The main header after the chunk's tag and size: frames at 16,
        // width at 32, height at 36.
        return u32(at + 8 + 16) >= 34 && u32(at + 8 + 32) == 272 && u32(at + 8 + 36) == 60;
    }
    return false;
}

}  // namespace

// A dialog-style window with a full caption; owned, so that it has no
// taskbar button of its own.
TForm3::TForm3(HWND owner) {
    window_ =
        CreateFormWindow({kClassName, L"", WS_POPUP | WS_CAPTION | WS_SYSMENU,
                          WS_EX_TOPMOST | WS_EX_DLGMODALFRAME, 276, 226, 512, 87, true, owner},
                         this, &TForm3::Procedure);
    HWND w = window_.get();

    const std::size_t bold = layout_.addFont({L"MS Sans Serif", 13, FW_BOLD, false});
    const std::size_t italic = layout_.addFont({L"MS Sans Serif", 13, FW_NORMAL, true});
    auto label = [&](int top, const wchar_t* text, std::size_t font) {
        const RECT place{8, top, 8 + kLabelWidth, top + 16};
        return layout_.add(
            CreateControl(w, L"STATIC", text, SS_NOPREFIX, place, layout_.font(font)), place, font);
    };
    Label1 = label(8, platform::Wide(core::texts::kSendingLine).c_str(), bold);
    Label3 = label(24, L"", italic);
    Label4 = label(48, platform::Wide(core::texts::kToLine).c_str(), bold);
    Label2 = label(64, L"", italic);

    // The clip plays at its own size, centred in its place at any scale.
    Animate1 = layout_.add(::CreateWindowExW(0, ANIMATE_CLASSW, L"",
                                             WS_CHILD | WS_VISIBLE | ACS_CENTER | ACS_TRANSPARENT,
                                             224, 16, 272, 60, w, nullptr, nullptr, nullptr),
                           {224, 16, 224 + 272, 16 + 60});
    layout_.apply(w, kClientSize, DpiOf(owner));
    // The shell's copy-files clip, or where the shell has none our own,
    // playing from the window's creation on.
    HMODULE shell = ::LoadLibraryExW(L"shell32.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (shell != nullptr && IsCopyFilesClip(shell, kShellClip) &&
        ::SendMessageW(Animate1, ACM_OPENW, reinterpret_cast<WPARAM>(shell),
                       reinterpret_cast<LPARAM>(MAKEINTRESOURCEW(kShellClip)))) {
        clip_ = Clip::Shell;
    } else if (::SendMessageW(Animate1, ACM_OPENW,
                              reinterpret_cast<WPARAM>(::GetModuleHandleW(nullptr)),
                              reinterpret_cast<LPARAM>(MAKEINTRESOURCEW(kOwnClip)))) {
        clip_ = Clip::Own;
    }
    animationFailed_ = clip_ == Clip::None;
    if (!animationFailed_) {
        ::SendMessageW(Animate1, ACM_PLAY, static_cast<WPARAM>(-1), MAKELONG(0, 33));
    }
}

TForm3::~TForm3() {
    // Back on its first frame as the window goes.
    if (!animationFailed_) ::SendMessageW(Animate1, ACM_STOP, 0, 0);
}

LRESULT CALLBACK TForm3::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    auto* self = FormOf<TForm3>(window);
    switch (message) {
        case WM_CTLCOLORSTATIC: {
            const HWND control = reinterpret_cast<HWND>(l);
            const bool fixed =
                self != nullptr && (control == self->Label1 || control == self->Label4);
            ::SetTextColor(reinterpret_cast<HDC>(w), fixed ? kMaroon : kGreen);
            ::SetBkMode(reinterpret_cast<HDC>(w), TRANSPARENT);
            return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
        }
        case WM_DPICHANGED:
            if (self != nullptr) {
                self->layout_.apply(window, kClientSize, HIWORD(w));
                const auto* suggested = reinterpret_cast<const RECT*>(l);
                ::SetWindowPos(window, nullptr, suggested->left, suggested->top, 0, 0,
                               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
            return 0;
        case WM_CLOSE:
            // Closed by the operation that showed it, not by the operator.
            ::ShowWindow(window, SW_HIDE);
            return 0;
        default:
            return ::DefWindowProcW(window, message, w, l);
    }
}

void TForm3::SetCaption(const std::string& text) {
    ::SetWindowTextW(window_.get(), platform::Wide(text).c_str());
}

void TForm3::SetFileLine(const std::string& text) {
    ::SetWindowTextW(Label3, platform::Wide(text).c_str());
    ::UpdateWindow(window_.get());
}

void TForm3::SetRecipientLine(const std::string& text) {
    ::SetWindowTextW(Label2, platform::Wide(text).c_str());
    ::UpdateWindow(window_.get());
}

void TForm3::Show() {
    // Painted before the operation goes on, which may hold the thread.
    ::ShowWindow(window_.get(), SW_SHOWNOACTIVATE);
    ::UpdateWindow(window_.get());
}

void TForm3::Close() { ::ShowWindow(window_.get(), SW_HIDE); }

}  // namespace dorvel::ui::win32
