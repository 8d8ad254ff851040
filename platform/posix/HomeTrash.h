#pragma once
// The desktop's trash as file managers share it: the freedesktop.org home
// trash, files/ and info/ under the user's data folder, created when missing.

#include <ctime>
#include <optional>
#include <string>

namespace dorvel::platform {

// $XDG_DATA_HOME/Trash when that is an absolute path, else
// HOME/.local/share/Trash.
std::string HomeTrashFolder(const std::string& homeFolder);

// Moves the file or folder at the absolute path into the trash folder under
// a name that is free there, with its .trashinfo beside. Nothing when it
// arrived; otherwise the text to show, and the file has stayed where it was
// (one on another file system is never copied: the trash is per device).
std::optional<std::string> MoveToTrash(const std::string& path, const std::string& trashFolder,
                                       std::time_t deletedAt);

}  // namespace dorvel::platform
