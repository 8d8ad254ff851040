#pragma once
// The operating system as the program sees it: a handful of verbs over
// plain values. PosixPlatform implements it for Linux; tests use a fake.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace dorvel::platform {

// An input/output failure, carrying the Windows error number that the
// program's messages are worded by.
class IoError : public std::runtime_error {
public:
    explicit IoError(int windowsCode)
        : std::runtime_error("I/O error " + std::to_string(windowsCode)), code_(windowsCode) {}
    int windowsCode() const { return code_; }

private:
    int code_;
};

// A file opened for one sequential read.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Fills up to size bytes; 0 at the end. Throws IoError.
    virtual std::size_t read(char* buffer, std::size_t size) = 0;
};

// One entry of a folder as its enumeration gives it.
struct FolderItem {
    std::string_view name;
    bool isFolder;  // a symbolic link counts as what it points to
    bool hidden;
};

struct FileDetails {
    std::int64_t size = 0;
    std::int64_t modified = 0;  // seconds since the epoch
    bool isFolder = false;
    std::uint32_t permissions = 0;
};

class Platform {
public:
    virtual ~Platform() = default;

    // Nothing when the variable is unset.
    virtual std::optional<std::string> environment(const std::string& name) const = 0;
    // The user's home folder, absolute.
    virtual std::string homeFolder() const = 0;

    virtual bool isDirectory(const std::string& path) const = 0;
    // Null when the path cannot be opened as a file (missing, a directory).
    virtual std::unique_ptr<ByteSource> openForReading(const std::string& path) = 0;
    // The whole of a regular file (a link to one is fine) of at most limit
    // bytes; nothing when it is missing, unreadable, larger, or no regular
    // file at all (a FIFO, a device), without ever blocking on it.
    virtual std::optional<std::string> readWholeFile(const std::string& path,
                                                     std::size_t limit) = 0;
    // Calls onItem for every entry but . and .., in the file system's own
    // order, without a call per entry where the directory read tells the
    // type; false when the folder cannot be enumerated.
    virtual bool enumerateFolder(const std::string& path,
                                 const std::function<void(const FolderItem&)>& onItem) = 0;
    virtual bool exists(const std::string& path) const = 0;
    virtual std::optional<FileDetails> fileDetails(const std::string& path) const = 0;
    // The folder a special-folder name such as "rfDesktop" stands for.
    virtual std::optional<std::string> specialFolder(std::string_view name) const = 0;
    // Renames without ever replacing an existing target; 0 or the Windows
    // error number.
    virtual int renameNoReplace(const std::string& from, const std::string& to) = 0;
    // Starts a program with an argument vector (no shell), not awaited.
    virtual bool startDetached(const std::vector<std::string>& argv,
                               const std::string& workingDirectory) = 0;

    // A file that is not a directory.
    virtual bool isFile(const std::string& path) const = 0;
    // Creates the last level of the path; 0 or the Windows error number
    // (a missing parent gives 3).
    virtual int createDirectory(const std::string& path) = 0;
    // Moves a file or folder without ever replacing an existing target. Across
    // file systems a file is copied under a temporary name beside the target,
    // flushed, put in place, and only then removed from its source, so that a
    // crash at any point leaves it whole somewhere; a folder does not move.
    virtual bool moveNoReplace(const std::string& from, const std::string& to) = 0;

    // A started program that we wait for.
    struct Child {
        int pid = -1;
        int pidfd = -1;  // readable once the program has ended
    };
    // Starts a program with an argument vector, our environment and current
    // directory, its output where ours goes; nothing when it cannot start.
    virtual std::optional<Child> startProcess(const std::vector<std::string>& argv) = 0;
    // Collects the program if it has ended; true then. The child is released
    // either way; one still running is collected later in the background.
    virtual bool release(const Child& child) = 0;

    // Replaces the file's contents in one step, through a symbolic link to its
    // target; false when the file may not be written or the write fails, in
    // which case the old contents are untouched.
    virtual bool replaceFile(const std::string& path, std::string_view contents) = 0;
};

// The platform the program runs on.
Platform& HostPlatform();

}  // namespace dorvel::platform
