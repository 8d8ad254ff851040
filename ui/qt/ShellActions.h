#pragma once
// What the shell's context menu does on other desktops: the clipboard in
// the formats file managers exchange, the desktop's trash, and a properties
// window. Each returns the error text to show, or nothing.

#include <optional>
#include <string>

#include "core/FolderEntry.h"
#include "platform/Platform.h"

class QWidget;

namespace dorvel::ui {

void CopyToClipboard(const std::string& path, bool cut);
// Copies (or, after a cut, moves) what the clipboard holds into the folder;
// never replaces an existing file. True when anything arrived.
bool PasteInto(platform::Platform& platform, const std::string& folder, std::string& error);
// Into the user's home trash; a file that cannot go there stays put.
std::optional<std::string> MoveToTrash(platform::Platform& platform, const std::string& path);
void ShowProperties(QWidget* parent, platform::Platform& platform, const core::FolderEntry& entry);
// The default program of the desktop for the file, started in its folder.
std::optional<std::string> OpenWithDefaultProgram(platform::Platform& platform,
                                                  const std::string& path);

}  // namespace dorvel::ui
