#pragma once
// What screen readers (Narrator, NVDA, JAWS) read of the recipient list:
// the system's own object for a list box, which knows the rows, their
// places and the selection, but not an owner-drawn row's text or its tick.
// Those two come from the recipients themselves.

#include <windows.h>
// After windows.h, which it needs.
#include <oleacc.h>

#include <functional>
#include <string>

namespace dorvel::ui::win32 {

struct CheckListRows {
    // The row's text and tick; row counts from 0.
    std::function<std::wstring(int row)> text;
    std::function<bool(int row)> ticked;
    std::function<void(int row)> toggle;
};

// The answer to the list box's WM_GETOBJECT for OBJID_CLIENT; 0 when the
// system's object cannot be made, so that the list box answers itself.
LRESULT AnswerGetObject(HWND list, WPARAM flags, const CheckListRows& rows);

}  // namespace dorvel::ui::win32
