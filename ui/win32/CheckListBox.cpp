#include "ui/win32/CheckListBox.h"

#include <windowsx.h>

#include "platform/formats/CodePages.h"
#include "platform/win32/WideText.h"
#include "ui/win32/CheckListAccessible.h"

namespace dorvel::ui::win32 {
namespace {

// A line can be megabytes long; a row shows only its start.
constexpr std::size_t kShownBytes = 1024;

}  // namespace

CheckListBox::CheckListBox(HWND parent, int id) {
    box_ = ::CreateWindowExW(
        WS_EX_CLIENTEDGE, L"LISTBOX", L"",
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | LBS_OWNERDRAWFIXED | LBS_NODATA |
            LBS_NOINTEGRALHEIGHT | LBS_NOTIFY | LBS_WANTKEYBOARDINPUT,
        0, 0, 10, 10, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    applyDpi(kDesignDpi);
    ::SetWindowLongPtrW(box_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    original_ = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
        box_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CheckListBox::Procedure)));
}

void CheckListBox::applyDpi(UINT dpi) {
    dpi_ = dpi;
    OwnedFont font = MakeFont(L"Courier New", Scaled(13, dpi), FW_NORMAL, false, RUSSIAN_CHARSET);
    ::SendMessageW(box_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    font_ = std::move(font);
    ::SendMessageW(box_, LB_SETITEMHEIGHT, 0, Scaled(kRowHeight, dpi));
    ::InvalidateRect(box_, nullptr, TRUE);
}

void CheckListBox::setRecipients(std::vector<core::Recipient>* recipients) {
    recipients_ = recipients;
    ::SendMessageW(box_, LB_SETCOUNT, recipients == nullptr ? 0 : recipients->size(), 0);
}

int CheckListBox::checkBoxAt(int x, int y) const {
    if (recipients_ == nullptr || x < 0 || x >= checkColumnWidth()) return -1;
    const LRESULT hit = ::SendMessageW(box_, LB_ITEMFROMPOINT, 0, MAKELPARAM(x, y));
    if (HIWORD(hit) != 0) return -1;  // below the last row
    const int row = LOWORD(hit);
    return row < static_cast<int>(recipients_->size()) ? row : -1;
}

void CheckListBox::toggle(int row) {
    if (recipients_ == nullptr || row < 0 || row >= static_cast<int>(recipients_->size())) return;
    auto& r = (*recipients_)[static_cast<std::size_t>(row)];
    r.ticked = !r.ticked;
    RECT area;
    ::SendMessageW(box_, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&area));
    ::InvalidateRect(box_, &area, FALSE);
    // A screen reader says "checked" or "not checked" for the row.
    ::NotifyWinEvent(EVENT_OBJECT_STATECHANGE, box_, OBJID_CLIENT, row + 1);
}

std::wstring CheckListBox::rowText(int row) const {
    if (recipients_ == nullptr || row < 0 || row >= static_cast<int>(recipients_->size())) {
        return {};
    }
    const std::string& line = (*recipients_)[static_cast<std::size_t>(row)].line;
    return platform::Wide(platform::Cp1251ToUtf8(std::string_view(line).substr(0, kShownBytes)));
}

LRESULT CALLBACK CheckListBox::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    auto* self = reinterpret_cast<CheckListBox*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            // The second click of a double-click arrives as WM_LBUTTONDBLCLK:
            // in the column it toggles again, leaving the tick as it was.
            const int row = self->checkBoxAt(GET_X_LPARAM(l), GET_Y_LPARAM(l));
            if (row < 0) break;
            ::SetFocus(window);
            ::SendMessageW(window, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
            self->toggle(row);
            return 0;
        }
        case WM_KEYDOWN:
            if (w == VK_SPACE && self->recipients_ != nullptr) {
                LRESULT row = ::SendMessageW(window, LB_GETCURSEL, 0, 0);
                // Nothing selected yet (the start): the row with the focus
                // frame is the one meant, and becomes the selected one.
                if (row == LB_ERR) {
                    row = ::SendMessageW(window, LB_GETCARETINDEX, 0, 0);
                    if (row != LB_ERR) ::SendMessageW(window, LB_SETCURSEL, row, 0);
                }
                if (row != LB_ERR) self->toggle(static_cast<int>(row));
                return 0;
            }
            break;
        case WM_CHAR:
            if (w == L' ') return 0;
            break;
        case WM_GETOBJECT:
            if (static_cast<LONG>(l) == OBJID_CLIENT && self->recipients_ != nullptr) {
                const CheckListRows rows{
                    [self](int row) { return self->rowText(row); },
                    [self](int row) {
                        return row >= 0 && row < static_cast<int>(self->recipients_->size()) &&
                               (*self->recipients_)[static_cast<std::size_t>(row)].ticked;
                    },
                    [self](int row) { self->toggle(row); }};
                if (const LRESULT answer = AnswerGetObject(window, w, rows)) return answer;
            }
            break;
        default:
            break;
    }
    return ::CallWindowProcW(self->original_, window, message, w, l);
}

void CheckListBox::draw(const DRAWITEMSTRUCT& item) const {
    if (item.itemID == static_cast<UINT>(-1) || recipients_ == nullptr ||
        item.itemID >= recipients_->size()) {
        return;
    }
    const core::Recipient& r = (*recipients_)[item.itemID];
    HDC dc = item.hDC;
    RECT row = item.rcItem;
    ::FillRect(dc, &row, ::GetSysColorBrush(COLOR_WINDOW));
    RECT box{row.left + 1, row.top + 1, row.left + checkColumnWidth() - 1, row.bottom - 1};
    ::DrawFrameControl(dc, &box, DFC_BUTTON,
                       DFCS_BUTTONCHECK | DFCS_FLAT | (r.ticked ? DFCS_CHECKED : 0));
    // The highlight and the focus frame cover the text, not the box.
    RECT text = row;
    text.left += checkColumnWidth() + 1;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    ::FillRect(dc, &text, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const std::wstring shown =
        platform::Wide(platform::Cp1251ToUtf8(std::string_view(r.line).substr(0, kShownBytes)));
    // The row is shorter than the font's line: keep the baseline high enough
    // for the underscore of every L_ to show.
    ::SetTextAlign(dc, TA_BASELINE | TA_LEFT);
    ::ExtTextOutW(dc, text.left + 1, text.bottom - Scaled(3, dpi_), ETO_CLIPPED, &text,
                  shown.c_str(), static_cast<UINT>(shown.size()), nullptr);
    if ((item.itemState & ODS_FOCUS) != 0) ::DrawFocusRect(dc, &text);
}

}  // namespace dorvel::ui::win32
