#pragma once

#include <string>

namespace dorvel::core {

// The root name of the top of the desktop, the letters view's first root.
inline constexpr const char* kDesktopRoot = "rfDesktop";

// One item of a folder listing: the name as the folder shows it and the path
// the file system parses.
struct FolderEntry {
    std::string displayName;
    std::string fullPath;
};

}  // namespace dorvel::core
