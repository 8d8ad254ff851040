#pragma once
// The toolbar from the keyboard: one tab stop whose left and right arrows
// move between the buttons, Space and Enter press the one chosen, and the
// chosen button shows a focus frame while the toolbar has the focus, so
// that it looks otherwise than a button under the mouse.

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

namespace dorvel::ui::win32 {

void LetToolbarTakeKeys(HWND toolbar);

// The toolbar's NM_CUSTOMDRAW, handed on by its parent.
LRESULT DrawToolbarFocus(const NMTBCUSTOMDRAW& draw);

}  // namespace dorvel::ui::win32
