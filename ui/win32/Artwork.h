#pragma once
// The toolbar's four 32 by 32 pictures, drawn in code: send, delete,
// settings, view deleted, in that image order.

#include "ui/win32/Handles.h"

namespace dorvel::ui::win32 {

OwnedImageList ToolBarImages();

}  // namespace dorvel::ui::win32
