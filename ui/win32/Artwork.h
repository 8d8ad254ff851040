#pragma once
// The toolbar's four 32 by 32 pictures, drawn in code: send, delete,
// settings, view deleted, in that image order; and the window's icon.

#include "ui/win32/Handles.h"

namespace dorvel::ui::win32 {

OwnedImageList ToolBarImages();
// The program's icon: the envelope of the send button.
OwnedIcon WindowIcon();

}  // namespace dorvel::ui::win32
