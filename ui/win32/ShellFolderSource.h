#pragma once
// Where the Windows letters view's entries come from. A folder of the file
// system is read through the platform, which is fast on huge folders, and
// its files carry the shell's names; a folder outside it (the top of the
// name space, My Computer, the network) comes from the shell's own folder
// object, in the shell's order, with the shell's names. The operator moves
// between the two freely: from a drive's top, Backspace leads to My
// Computer and on to the desktop.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "core/FolderListing.h"
#include "core/FolderSource.h"
#include "platform/Platform.h"
#include "ui/win32/ShellObjects.h"

namespace dorvel::ui::win32 {

class ShellFolderSource : public core::FileSystemSource {
public:
    explicit ShellFolderSource(platform::Platform& platform) : FileSystemSource(platform) {}

    std::optional<core::FolderPlace> placeForRoot(const std::string& text) const override;
    bool list(const core::FolderPlace& place, core::FolderContents& contents) override;
    std::string title(const core::FolderPlace& place) const override;
    std::optional<core::FolderPlace> parentOf(const core::FolderPlace& place) const override;
    std::optional<core::FolderPlace> childOf(const core::FolderPlace& place,
                                             std::string_view key) const override;
    bool rename(const core::FolderPlace& place, std::string_view key, std::string_view newName,
                core::FolderContents& renamed) override;
    bool showsOwnNames() const override { return true; }
    std::string shownName(const std::string& fullPath, std::string_view name) const override;

private:
    // The folder whose names are being shown, bound once for all of them.
    mutable std::string boundFolder_;
    mutable ComPtr<IShellFolder> bound_;
};

// A listing over the file system and the shell's folders outside it; its
// first root is the top of the name space.
core::FolderListing MakeShellListing(platform::Platform& platform);

// What the shell knows a listing's entries by, for its menus, icons,
// columns and properties: the entry, the displayed folder, and the entry
// relative to that folder. Empty where the shell knows none.
Pidl ShellItemOf(const core::FolderListing& listing, std::size_t index);
Pidl ShellFolderOf(const core::FolderListing& listing);
Pidl ShellChildOf(const core::FolderListing& listing, std::size_t index);

}  // namespace dorvel::ui::win32
