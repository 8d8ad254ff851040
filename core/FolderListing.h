#pragma once
// What the letters view lists, in which order, what its root text means and
// how it re-lists. Both the visible view and the never-shown shadow listing
// of the watch are one of these; the widget only paints it. Its entries come
// from a FolderSource: the file system, and on Windows the shell's folders
// outside it as well.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/FolderEntry.h"
#include "core/FolderSource.h"
#include "platform/Platform.h"

namespace dorvel::core {

class FolderListing {
public:
    // Lists the file system alone.
    explicit FolderListing(platform::Platform& platform);
    FolderListing(platform::Platform& platform, std::unique_ptr<FolderSource> source);

    // The root text: a folder path, a special-folder name or a folder the
    // source knows outside the file system. Setting a text equal to the
    // current one (Latin letters in any case) does nothing; one that names no
    // folder throws PlatformError and keeps root and listing.
    void setRoot(const std::string& text);
    const std::string& root() const { return root_; }
    // Whether setting this text would change nothing.
    bool hasRoot(std::string_view text) const;
    // The folder a root text stands for, or nothing when it names none.
    std::optional<FolderPlace> folderForRoot(const std::string& text) const;

    // The folder actually listed. Showing another one leaves the root text.
    const FolderPlace& place() const { return place_; }
    bool outsideFileSystem() const { return place_.outside; }
    // Its path, or outside the file system the name the source gives it.
    const std::string& displayedFolder() const { return place_.outside ? title_ : place_.folder; }
    void showFolder(const std::string& folder);
    void showPlace(const FolderPlace& place);
    // A folder entry becomes the displayed folder; false for a file.
    bool enter(std::size_t index);
    // The parent of the displayed folder, up to the top of the file system
    // and on through the source's folders above it; false when at the top.
    bool showParent();

    // Lists the displayed folder unless it has been listed already.
    void ensureListed();
    // Lists the displayed folder again, keeping the selection by position.
    void relist();

    std::size_t count() const { return order_.size(); }
    // The name in its folder.
    std::string_view name(std::size_t index) const;
    // The name the operator sees, which on Windows may hide the extension.
    std::string_view displayName(std::size_t index) const;
    bool isFolder(std::size_t index) const;
    std::string fullPath(std::size_t index) const;
    FolderEntry entry(std::size_t index) const;
    // What the source finds an entry outside the file system by; empty in
    // the file system.
    std::string_view sourceKey(std::size_t index) const;
    bool canRename(std::size_t index) const;
    // A renamed entry keeps its place until the next listing.
    void renameInPlace(std::size_t index, std::string_view newName);
    // Renames the entry in its folder, never over another name; false when
    // the text is no name (empty, ".", "..", holding a separator) or the
    // system refuses. A name typed over a shown name that hides the
    // extension keeps the extension. It keeps its place until the next
    // listing.
    bool rename(std::size_t index, std::string_view newName);

    // Finds an entry again after the rows moved (a re-listing meanwhile):
    // the same shown folder and the same name, or nothing.
    struct Mark {
        std::string folder;
        std::string name;
    };
    Mark markOf(std::size_t index) const;
    std::optional<std::size_t> find(const Mark& mark) const;

    // Type-ahead: the first entry from `start` on, wrapping round, whose
    // shown name begins with the text, Latin and Cyrillic letters in any case.
    std::optional<std::size_t> findByPrefix(std::string_view text, std::size_t start) const;

    std::optional<std::size_t> selectedIndex() const { return selected_; }
    void select(std::optional<std::size_t> index);
    std::optional<FolderEntry> selectedEntry() const;

    // Takes over another listing of the same system and source, root, rows
    // and selection; the other gets this one's.
    void swapListing(FolderListing& other);

    // The same folder with the same entries in the same order.
    bool sameEntriesAs(const FolderListing& other) const;

private:
    using Record = FolderContents::Record;

    void list();
    void sort();
    std::string_view recordName(const Record& r) const {
        return listed_.textAt(r.nameOffset, r.nameSize);
    }
    const Record& record(std::size_t index) const { return listed_.records_[order_[index]]; }
    const FolderContents::Outside* outside(std::size_t index) const;
    // The stored path of an entry outside the file system.
    std::string_view outsidePath(std::size_t index) const;

    platform::Platform& platform_;
    std::unique_ptr<FolderSource> source_;
    std::string root_;
    FolderPlace place_;
    std::string title_;  // of a place outside the file system
    FolderContents listed_;
    std::vector<std::uint32_t> order_;  // display position -> record
    bool hasListed_ = false;
    FolderPlace listedPlace_;  // what listed_ came from
    // The source's own names of the rows asked for so far.
    mutable std::unordered_map<std::size_t, std::string> shownNames_;
    // Kept from one listing to the next for their capacity: leaving a huge
    // folder then frees nothing.
    FolderContents spare_;
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
