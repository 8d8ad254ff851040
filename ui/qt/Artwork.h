#pragma once
// The toolbar's pictures and the window icon, drawn here so that the
// program needs no image files.

#include <QIcon>

namespace dorvel::ui {

QIcon SendIcon();
QIcon DeleteIcon();
QIcon SettingsIcon();
QIcon DeletedFilesIcon();
QIcon WindowIcon();

// What the letters view and the folder tree show where the desktop's icon
// theme has no picture: drawn, because the first image the program reads
// from a file costs it half a millisecond of start-up.
QIcon FallbackFileIcon();
QIcon FallbackFolderIcon();

}  // namespace dorvel::ui
