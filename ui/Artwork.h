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

}  // namespace dorvel::ui
