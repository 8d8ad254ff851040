#pragma once
// Showing the deleted-files folder in the desktop's file browser.

#include <string>

#include "platform/Platform.h"

namespace dorvel::core {

// The browser's start on each system: explorer.exe in the SystemRoot folder
// on the folder, unquoted, on Windows; xdg-open with the folder as its one
// argument on Linux. Started shown and not awaited.
platform::Command FileBrowserCommand(const platform::Platform& platform, const std::string& folder);

}  // namespace dorvel::core
