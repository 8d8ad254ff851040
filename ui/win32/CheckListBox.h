#pragma once
// The recipient list: an owner-drawn list box with a check box in front of
// each row. A click in the check-box column or Space toggles a row (a
// double-click there toggles twice); a click on the text only selects it.
// The rows are the recipients themselves: nothing is copied into the box.

#include <windows.h>

#include <string>
#include <vector>

#include "core/RecipientList.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/Handles.h"

namespace dorvel::ui::win32 {

class CheckListBox {
public:
    // At 96 DPI; scaled to the window's.
    static constexpr int kRowHeight = 13;
    static constexpr int kCheckColumnWidth = 13;

    CheckListBox(HWND parent, int id);
    CheckListBox(const CheckListBox&) = delete;
    CheckListBox& operator=(const CheckListBox&) = delete;

    HWND handle() const { return box_; }
    void setRecipients(std::vector<core::Recipient>* recipients);
    // The font, row height and box column for the window's scale.
    void applyDpi(UINT dpi);
    // The parent hands over its WM_DRAWITEM for the box.
    void draw(const DRAWITEMSTRUCT& item) const;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l);
    // The row whose check box is at the point, or -1.
    int checkBoxAt(int x, int y) const;
    int checkColumnWidth() const { return Scaled(kCheckColumnWidth, dpi_); }
    void toggle(int row);
    // What a row shows, for screen readers.
    std::wstring rowText(int row) const;

    HWND box_ = nullptr;
    WNDPROC original_ = nullptr;
    OwnedFont font_;
    UINT dpi_ = kDesignDpi;
    std::vector<core::Recipient>* recipients_ = nullptr;
};

}  // namespace dorvel::ui::win32
