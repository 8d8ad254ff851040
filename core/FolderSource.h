#pragma once
// Where a listing's entries come from. The file system, read through the
// platform, is the source on every system; a source may add folders outside
// it (on Windows the shell's name space: the top of the desktop, My
// Computer, the network), which it lists in its own order under its own
// names, and lead from them into the file system and back.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

namespace dorvel::core {

// A folder a listing shows: a path of the file system, or a folder outside
// it, which only its source can read, by a key of the source's own.
struct FolderPlace {
    std::string folder;
    bool outside = false;

    bool operator==(const FolderPlace&) const = default;
};

// An entry of a folder outside the file system, as its source reports it.
struct OutsideEntry {
    std::string_view name;      // as the folder shows it, and what a rename replaces
    std::string_view fullPath;  // what stands for the entry where a path is asked for
    std::string_view key;       // what the source finds the entry by again
    bool isFolder = false;
    bool canRename = false;
};

// One folder's entries as a source hands them over: their texts in one
// block, so that a listing of 100,000 entries makes a handful of
// allocations.
class FolderContents {
public:
    // An entry of the file system: its name in its folder says it all.
    void add(std::string_view name, bool isFolder) {
        records_.push_back(
            Record{offset(), static_cast<std::uint32_t>(name.size()), isFolder, true});
        text_.append(name);
    }
    void add(const OutsideEntry& entry);
    // The entries came in the order the folder is shown in, which the
    // listing then keeps instead of sorting them by name.
    void keepOrder() { ownOrder_ = true; }

    std::size_t size() const { return records_.size(); }
    void clear();
    bool operator==(const FolderContents& other) const;

private:
    friend class FolderListing;

    struct Record {
        std::uint32_t nameOffset;
        std::uint32_t nameSize;
        bool isFolder;
        bool canRename;
    };
    // Only outside the file system, one for each record.
    struct Outside {
        std::uint32_t pathOffset;
        std::uint32_t pathSize;
        std::uint32_t keyOffset;
        std::uint32_t keySize;
    };

    std::uint32_t offset() const { return static_cast<std::uint32_t>(text_.size()); }
    std::string_view textAt(std::uint32_t offset, std::uint32_t size) const {
        return std::string_view(text_).substr(offset, size);
    }

    std::string text_;
    std::vector<Record> records_;
    std::vector<Outside> outside_;
    bool ownOrder_ = false;
};

class FolderSource {
public:
    virtual ~FolderSource() = default;

    // The folder outside the file system that a root text names, if any;
    // otherwise the text is read as a special folder of the platform or a
    // path.
    virtual std::optional<FolderPlace> placeForRoot(const std::string& text) const = 0;
    // Fills the contents with what the folder holds, hidden entries left
    // out; false when it cannot be listed.
    virtual bool list(const FolderPlace& place, FolderContents& contents) = 0;
    // What the operator knows a folder outside the file system by.
    virtual std::string title(const FolderPlace& place) const = 0;
    // The folder above one outside the file system or above a top of the
    // file system; nothing at the very top.
    virtual std::optional<FolderPlace> parentOf(const FolderPlace& place) const = 0;
    // The folder that an entry of a folder outside the file system opens.
    virtual std::optional<FolderPlace> childOf(const FolderPlace& place,
                                               std::string_view key) const = 0;
    // Renames an entry of a folder outside the file system and adds it, as
    // it is now, to `renamed`; false when the folder refuses.
    virtual bool rename(const FolderPlace& place, std::string_view key, std::string_view newName,
                        FolderContents& renamed) = 0;

    // Whether the files of the file system are shown under names of the
    // source's own, as Explorer hides known extensions. Those are asked for
    // one row at a time, for the rows in sight only.
    virtual bool showsOwnNames() const { return false; }
    virtual std::string shownName(const std::string& /*fullPath*/, std::string_view name) const {
        return std::string(name);
    }
};

// The file system alone, read through the platform.
class FileSystemSource : public FolderSource {
public:
    explicit FileSystemSource(platform::Platform& platform) : platform_(platform) {}

    std::optional<FolderPlace> placeForRoot(const std::string& text) const override;
    bool list(const FolderPlace& place, FolderContents& contents) override;
    std::string title(const FolderPlace& place) const override;
    std::optional<FolderPlace> parentOf(const FolderPlace& place) const override;
    std::optional<FolderPlace> childOf(const FolderPlace& place,
                                       std::string_view key) const override;
    bool rename(const FolderPlace& place, std::string_view key, std::string_view newName,
                FolderContents& renamed) override;

private:
    platform::Platform& platform_;
};

}  // namespace dorvel::core
