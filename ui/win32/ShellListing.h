#pragma once
// What the Windows letters view lists. A folder of the file system is
// listed by the core listing, which is fast on huge folders; a folder
// outside it (the top of the name space, My Computer, the network) comes
// from the shell's own folder object, in the shell's order, with the
// shell's names. The operator moves between the two freely: from a drive's
// top, Backspace leads to My Computer and on to the desktop.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "core/FolderEntry.h"
#include "core/FolderListing.h"
#include "platform/Platform.h"
#include "ui/win32/ShellObjects.h"

namespace dorvel::ui::win32 {

class ShellListing {
public:
    explicit ShellListing(platform::Platform& platform);
    ~ShellListing();
    ShellListing(const ShellListing&) = delete;
    ShellListing& operator=(const ShellListing&) = delete;

    // The root text; one that names no folder throws core::PlatformError
    // "Error setting path" and keeps root and listing.
    void setRoot(const std::string& text);
    const std::string& root() const { return root_; }

    // Whether the displayed folder lies outside the file system.
    bool outsideFileSystem() const { return shell_ != nullptr; }
    // The displayed folder's path, or its name outside the file system.
    std::string displayedFolder() const;

    void ensureListed();
    // Lists the displayed folder again, keeping the selection by position.
    void relist();

    std::size_t count() const;
    // The shell's name in the folder, which may hide a file's extension.
    std::string displayName(std::size_t index) const;
    std::string fullPath(std::size_t index) const;
    bool isFolder(std::size_t index) const;
    core::FolderEntry entry(std::size_t index) const;
    // The entry as the shell knows it, for its menus, icons and properties.
    Pidl item(std::size_t index) const;
    // The displayed folder as the shell knows it, and an entry relative to
    // it: what the shell's columns are asked about.
    Pidl folderItem() const;
    Pidl childItem(std::size_t index) const;
    // Whether the shell lets the operator rename the entry.
    bool canRename(std::size_t index) const;
    // Renames the entry; false when it is refused. It keeps its place until
    // the next listing.
    bool rename(std::size_t index, std::string_view newName);

    // A folder entry becomes the displayed folder; false for a file.
    bool enter(std::size_t index);
    // The parent of the displayed folder, up to the top of the name space;
    // false when already there.
    bool showParent();

    std::optional<std::size_t> selectedIndex() const;
    void select(std::optional<std::size_t> index);
    std::optional<core::FolderEntry> selectedEntry() const;

    // The watch's half: lists the folder the other one displays.
    void listSameFolderAs(const ShellListing& other);
    // The same number of entries with the same full paths in the same order.
    bool sameEntriesAs(const ShellListing& other) const;

private:
    struct ShellFolder;
    void showItem(Pidl absolute);
    void showShellFolder(Pidl absolute);

    platform::Platform& platform_;
    std::string root_;
    core::FolderListing files_;
    // The shell's names of the file rows asked for so far.
    mutable std::unordered_map<std::size_t, std::string> shownNames_;
    std::unique_ptr<ShellFolder> shell_;  // set while outside the file system
};

// Once a second: lists the folder the letters view displays in the shadow
// and tells whether the letters view must be re-listed.
bool OnWatchTick(const ShellListing& letters, ShellListing& shadow);

}  // namespace dorvel::ui::win32
