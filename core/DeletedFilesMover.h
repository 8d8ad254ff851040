#pragma once
// Deleting never erases a letter: it moves it into the deleted-files folder,
// under its own name or, when that is taken, a numbered variant of it.

#include <optional>
#include <string>
#include <string_view>

#include "core/FolderEntry.h"
#include "core/Messages.h"
#include "core/Progress.h"
#include "platform/Platform.h"

namespace dorvel::core {

// Moves the entry into the folder, creating its last level when missing, and
// returns the folder text with a separator appended. Throws PlatformError
// with the input/output report when the folder cannot be created.
std::string MoveToDeleted(const std::optional<FolderEntry>& entry, std::string deletedFilesFolder,
                          Progress& progress, platform::Platform& platform, Messages& messages);

// The first of target, then its numbered variants, that no file holds:
// a.doc, a.1.doc, a.2.doc; a number already in the name is continued.
std::string MakeUniqueTarget(std::string target, const platform::Platform& platform);

// The text from the name's last dot, when that dot follows the last
// separator, by the rules of the system the program runs on.
std::string_view ExtensionOf(std::string_view path);

}  // namespace dorvel::core
