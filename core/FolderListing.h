#pragma once
// What the letters view lists, in which order, what its root text means and
// how it re-lists. Both the visible view and the never-shown shadow listing
// of the watch are one of these; the widget only paints it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/FolderEntry.h"
#include "platform/Platform.h"

namespace dorvel::core {

class FolderListing {
public:
    explicit FolderListing(platform::Platform& platform);

    // The root text: a folder path or a special-folder name. Setting a text
    // equal to the current one (Latin letters in any case) does nothing; one
    // that names no folder throws PlatformError and keeps root and listing.
    void setRoot(const std::string& text);
    const std::string& root() const { return root_; }
    // Whether setting this text would change nothing.
    bool hasRoot(std::string_view text) const;
    // The folder a root text stands for, or nothing when it names none.
    std::optional<std::string> folderForRoot(const std::string& text) const;

    // The folder actually listed. Showing another one leaves the root text.
    const std::string& displayedFolder() const { return folder_; }
    void showFolder(const std::string& folder);
    // The parent of the displayed folder, up to the top of the file system;
    // false when already there.
    bool showParent();

    // Lists the displayed folder unless it has been listed already.
    void ensureListed();
    // Lists the displayed folder again, keeping the selection by position.
    void relist();

    std::size_t count() const { return order_.size(); }
    std::string_view name(std::size_t index) const;
    bool isFolder(std::size_t index) const;
    std::string fullPath(std::size_t index) const;
    FolderEntry entry(std::size_t index) const;
    // A renamed entry keeps its place until the next listing.
    void renameInPlace(std::size_t index, std::string_view newName);
    // Renames the entry in its folder, never over another name; false when
    // the text is no name (empty, ".", "..", holding a separator) or the
    // system refuses. It keeps its place until the next listing.
    bool rename(std::size_t index, std::string_view newName);

    std::optional<std::size_t> selectedIndex() const { return selected_; }
    void select(std::optional<std::size_t> index);
    std::optional<FolderEntry> selectedEntry() const;

    // Takes over another listing of the same system, root, rows and
    // selection; the other gets this one's.
    void swapListing(FolderListing& other);

    // The same folder with the same entries in the same order.
    bool sameEntriesAs(const FolderListing& other) const;

private:
    struct Record {
        std::uint32_t nameOffset;
        std::uint32_t nameSize;
        bool isFolder;
    };

    void list();
    void sort();
    std::string_view recordName(const Record& r, const std::string& names) const {
        return std::string_view(names).substr(r.nameOffset, r.nameSize);
    }

    platform::Platform& platform_;
    std::string root_;
    std::string folder_;
    // Names in one block in the order the file system gave them, so that a
    // listing of 100,000 entries makes a handful of allocations.
    std::string names_;
    std::vector<Record> records_;
    std::vector<std::uint32_t> order_;  // display position -> record
    std::string listedFolder_;          // what names_ and records_ came from
    std::string spareNames_;
    std::vector<Record> spareRecords_;
    std::string spareKeys_;
    std::vector<std::uint32_t> spareKeyOffsets_;
    struct SortItem {
        std::uint64_t head;  // the key's first eight bytes
        std::uint64_t next;  // and the eight after them
        std::uint32_t record;
        bool isFolder;
    };
    std::vector<SortItem> spareSortItems_;
    std::optional<std::size_t> selected_;
};

// The key that orders names as a file manager does: case-insensitive for
// Latin and Cyrillic letters, and runs of digits by their value.
void AppendNaturalKey(std::string& key, std::string_view name);

// The folders in a folder, hidden ones left out, in that name order: what a
// folder tree shows below a node. Empty when the folder cannot be listed.
std::vector<std::string> SubfolderNames(platform::Platform& platform, const std::string& folder);

}  // namespace dorvel::core
