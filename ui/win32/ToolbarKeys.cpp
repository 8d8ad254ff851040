#include "ui/win32/ToolbarKeys.h"

namespace dorvel::ui::win32 {
namespace {

int ButtonCount(HWND toolbar) {
    return static_cast<int>(::SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
}

int Chosen(HWND toolbar) { return static_cast<int>(::SendMessageW(toolbar, TB_GETHOTITEM, 0, 0)); }

void Choose(HWND toolbar, int index) {
    ::SendMessageW(toolbar, TB_SETHOTITEM, static_cast<WPARAM>(index), 0);
    ::InvalidateRect(toolbar, nullptr, FALSE);
}

void Press(HWND toolbar, int index) {
    TBBUTTON button{};
    if (!::SendMessageW(toolbar, TB_GETBUTTON, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(&button))) {
        return;
    }
    ::SendMessageW(::GetParent(toolbar), WM_COMMAND, MAKEWPARAM(button.idCommand, BN_CLICKED),
                   reinterpret_cast<LPARAM>(toolbar));
}

LRESULT CALLBACK Keys(HWND toolbar, UINT message, WPARAM w, LPARAM l, UINT_PTR /*id*/,
                      DWORD_PTR /*data*/) {
    switch (message) {
        case WM_GETDLGCODE: {
            // The arrows, Space and Enter are the toolbar's; Tab is the window's.
            LRESULT code = ::DefSubclassProc(toolbar, message, w, l) | DLGC_WANTARROWS;
            const auto* key = reinterpret_cast<const MSG*>(l);
            if (key != nullptr && key->message == WM_KEYDOWN &&
                (key->wParam == VK_RETURN || key->wParam == VK_SPACE)) {
                code |= DLGC_WANTMESSAGE;
            }
            return code;
        }
        case WM_SETFOCUS:
            if (Chosen(toolbar) < 0) Choose(toolbar, 0);
            ::InvalidateRect(toolbar, nullptr, FALSE);
            break;
        case WM_KILLFOCUS:
            ::InvalidateRect(toolbar, nullptr, FALSE);
            break;
        case WM_KEYDOWN: {
            const int count = ButtonCount(toolbar);
            const int chosen = Chosen(toolbar);
            if (count == 0) break;
            if (w == VK_LEFT || w == VK_UP) {
                Choose(toolbar, chosen <= 0 ? count - 1 : chosen - 1);
                return 0;
            }
            if (w == VK_RIGHT || w == VK_DOWN) {
                Choose(toolbar, chosen < 0 || chosen >= count - 1 ? 0 : chosen + 1);
                return 0;
            }
            if (w == VK_HOME || w == VK_END) {
                Choose(toolbar, w == VK_HOME ? 0 : count - 1);
                return 0;
            }
            if ((w == VK_SPACE || w == VK_RETURN) && chosen >= 0) {
                Press(toolbar, chosen);
                return 0;
            }
            break;
        }
        case WM_CHAR:
            if (w == L' ' || w == L'\r') return 0;  // pressed above; no beep
            break;
        default:
            break;
    }
    return ::DefSubclassProc(toolbar, message, w, l);
}

}  // namespace

void LetToolbarTakeKeys(HWND toolbar) { ::SetWindowSubclass(toolbar, &Keys, 1, 0); }

LRESULT DrawToolbarFocus(const NMTBCUSTOMDRAW& draw) {
    const HWND toolbar = draw.nmcd.hdr.hwndFrom;
    switch (draw.nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT:
            return CDRF_NOTIFYPOSTPAINT;
        case CDDS_ITEMPOSTPAINT: {
            if (::GetFocus() != toolbar) return CDRF_DODEFAULT;
            const int chosen = Chosen(toolbar);
            const auto index = static_cast<int>(::SendMessageW(
                toolbar, TB_COMMANDTOINDEX, static_cast<WPARAM>(draw.nmcd.dwItemSpec), 0));
            if (index != chosen) return CDRF_DODEFAULT;
            RECT frame = draw.nmcd.rc;
            ::InflateRect(&frame, -3, -3);
            ::DrawFocusRect(draw.nmcd.hdc, &frame);
            return CDRF_DODEFAULT;
        }
        default:
            return CDRF_DODEFAULT;
    }
}

}  // namespace dorvel::ui::win32
