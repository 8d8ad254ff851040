#pragma once
// The operating system as the program sees it: a small set of verbs over
// plain values, each failing the one way, with the Windows error number that
// the program's messages are worded by. platform/posix/ implements it for
// Linux, platform/win32/ for Windows; the tests hold a fake to both.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dorvel::platform {

// The Windows error numbers the program itself tells apart.
inline constexpr int kFileNotFound = 2;
inline constexpr int kPathNotFound = 3;
inline constexpr int kAccessDenied = 5;
inline constexpr int kAlreadyExists = 183;
inline constexpr int kEnvironmentVariableNotFound = 203;
inline constexpr int kBadFileType = 222;
inline constexpr int kFileTooLarge = 223;

// Done, or the Windows error number of what went wrong.
class [[nodiscard]] Status {
public:
    constexpr Status() = default;
    static constexpr Status Failed(int code) { return Status(code == 0 ? 1117 : code); }
    constexpr bool ok() const { return code_ == 0; }
    constexpr explicit operator bool() const { return ok(); }
    constexpr int code() const { return code_; }

private:
    constexpr explicit Status(int code) : code_(code) {}
    int code_ = 0;
};

// A value, or the Status of the failure that kept it from us.
template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : value_(std::move(value)) {}  // NOLINT(google-explicit-constructor)
    Result(Status failure) : status_(failure.ok() ? Status::Failed(0) : failure) {}  // NOLINT
    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    Status status() const { return status_; }
    int code() const { return status_.code(); }
    T& operator*() { return *value_; }
    const T& operator*() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }
    T value_or(T fallback) const& { return value_ ? *value_ : std::move(fallback); }

private:
    std::optional<T> value_;
    Status status_;
};

// A file opened for one sequential read.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Fills up to size bytes; 0 at the end.
    virtual Result<std::size_t> read(char* buffer, std::size_t size) = 0;
};

// One entry of a folder as its enumeration gives it.
struct FolderItem {
    std::string_view name;
    bool isFolder;  // a symbolic link counts as what it points to
    bool hidden;
};

// What is at a name. A link counts as what it points to; one that points
// nowhere is there all the same, as a file, so that no move replaces it.
struct EntryInfo {
    bool isFolder = false;
    std::int64_t size = 0;
    std::int64_t modified = 0;  // seconds since the epoch
    std::uint32_t permissions = 0;
};

// A program to start.
struct Command {
    // The program, then one element per argument.
    std::vector<std::string> arguments;
    // On Windows, when not empty, the command line as it stands; else one is
    // built from the arguments by the Windows quoting rules.
    std::string windowsCommandLine;
    // On Windows, when not empty, the program's file, so that the system
    // does not read it out of an unquoted command line: for a path with a
    // blank it would try each part before it first (C:\Program.exe for
    // C:\Program Files\...).
    std::string windowsProgram;
    // Empty: ours.
    std::string workingDirectory;
    // Started unseen, its output going nowhere (the mail tool), and named by
    // its path; otherwise shown, and looked up as the system looks up
    // programs (the file browser).
    bool hidden = false;
};

// A started program. It owns the system's hold on the program; letting go of
// one that still runs leaves it running and collects its end later.
class Process {
public:
    // What the system keeps for one started program.
    class Handle {
    public:
        virtual ~Handle() = default;
        virtual std::intptr_t waitable() const = 0;
        virtual bool hasEnded() = 0;
    };
    static constexpr std::intptr_t kNothingToWaitOn = -1;

    explicit Process(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}

    // Signalled once the program has ended: a pidfd (readable) on Linux, a
    // process HANDLE on Windows. kNothingToWaitOn when the system gives none
    // (a kernel without pidfds) or the program has ended already.
    std::intptr_t waitable() const { return handle_->waitable(); }
    bool hasEnded() { return handle_->hasEnded(); }

private:
    std::unique_ptr<Handle> handle_;
};

// Tells whether a folder's entries may have changed since it was last asked.
class FolderNotice {
public:
    virtual ~FolderNotice() = default;
    // True when an entry of the folder may have been added, removed, renamed
    // or had its attributes changed since the notice was made or last asked,
    // or when the folder itself went; false only when nothing did.
    virtual bool changed() = 0;
};

class Platform {
public:
    virtual ~Platform() = default;

    // Fails with kEnvironmentVariableNotFound when the variable is unset.
    virtual Result<std::string> environment(const std::string& name) const = 0;
    // The user's home folder, absolute; never fails.
    virtual std::string homeFolder() const = 0;
    // The folder a special-folder name such as "rfDesktop" stands for.
    virtual Result<std::string> specialFolder(std::string_view name) const = 0;

    // What is at the name; kFileNotFound or kPathNotFound when nothing is.
    virtual Result<EntryInfo> inspect(const std::string& path) const = 0;
    // Calls onItem for every entry but . and .., in the file system's own
    // order, without a call per entry where the directory read tells the type.
    virtual Status enumerateFolder(const std::string& path,
                                   const std::function<void(const FolderItem&)>& onItem) = 0;
    // A regular file (a link to one is fine) opened for reading, without ever
    // blocking on a FIFO or a device, which fail with kBadFileType.
    virtual Result<std::unique_ptr<ByteSource>> openFile(const std::string& path) = 0;
    // Replaces the file's contents in one step, through a symbolic link to its
    // target; on failure the old contents are untouched.
    virtual Status replaceFile(const std::string& path, std::string_view contents) = 0;
    // Creates the last level of the path; a missing parent gives kPathNotFound.
    virtual Status createFolder(const std::string& path) = 0;
    // Moves a file or folder without ever replacing an existing target. Across
    // volumes a file arrives whole or not at all, and leaves its source only
    // once it has; a folder does not move there.
    virtual Status move(const std::string& from, const std::string& to) = 0;
    // The form of the path that holds no blank where the system has one (the
    // short 8.3 path on Windows); fails when nothing is there.
    virtual Result<std::string> shortPath(const std::string& path) const = 0;

    // Starts a program with our environment; nothing is awaited here.
    virtual Result<Process> start(const Command& command) = 0;

    // A notice of the folder's changes from now on; none where the system
    // gives no reliable one (a network share, whose other machines' changes
    // the local notices miss), so that only looking tells.
    virtual std::unique_ptr<FolderNotice> noticeChanges(const std::string& folder) = 0;
};

// The whole of a regular file of at most limit bytes; kFileTooLarge beyond.
Result<std::string> ReadWholeFile(Platform& platform, const std::string& path, std::size_t limit);

// The platform the program runs on.
Platform& HostPlatform();

}  // namespace dorvel::platform
