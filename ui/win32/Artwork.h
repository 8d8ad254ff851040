#pragma once
// The toolbar's four 32 by 32 pictures, drawn in code: send, delete,
// settings, view deleted, in that image order; and the window's icon.

#include "ui/win32/Handles.h"

namespace dorvel::ui::win32 {

// The pictures at size by size pixels, drawn anew at that size rather than
// stretched, so that they stay sharp at any scale.
OwnedImageList ToolBarImages(int size = 32);
// The program's icon: the envelope of the send button.
OwnedIcon WindowIcon();

}  // namespace dorvel::ui::win32
