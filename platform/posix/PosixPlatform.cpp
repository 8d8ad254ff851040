#include "platform/posix/PosixPlatform.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>
#include <tuple>
#include <vector>

extern char** environ;

namespace dorvel::platform {
namespace {

class FileSource final : public ByteSource {
public:
    explicit FileSource(int fd) : fd_(fd) {}
    ~FileSource() override { ::close(fd_); }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    Result<std::size_t> read(char* buffer, std::size_t size) override {
        for (;;) {
            const ssize_t got = ::read(fd_, buffer, size);
            if (got >= 0) return static_cast<std::size_t>(got);
            if (errno != EINTR) return Status::Failed(WindowsErrorFromErrno(errno));
        }
    }

private:
    int fd_;
};

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t put = ::write(fd, data.data(), data.size());
        if (put < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(put));
    }
    return true;
}

// Follows a chain of symbolic links to the file they end in, as a write
// through a link on Windows lands in its target.
std::string FinalTarget(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        std::vector<char> buffer(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : PATH_MAX) +
                                 1);
        const ssize_t len = ::readlink(path.c_str(), buffer.data(), buffer.size() - 1);
        if (len < 0) return path;
        std::string target(buffer.data(), static_cast<std::size_t>(len));
        if (!target.empty() && target.front() != '/') {
            const auto slash = path.rfind('/');
            if (slash != std::string::npos) target.insert(0, path, 0, slash + 1);
        }
        path = std::move(target);
    }
    return path;
}

// The argument vector exec wants, pointing into the strings given.
std::vector<char*> ArgumentVector(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    return args;
}

// A program let go of while it runs is still our child; someone must collect
// its exit so it does not linger as a zombie.
void ReapLater(pid_t pid) {
    std::thread([pid] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

class ChildProcess final : public Process::Handle {
public:
    explicit ChildProcess(pid_t pid)
        : pid_(pid), pidfd_(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0))) {}
    ~ChildProcess() override {
        if (pidfd_ >= 0) ::close(pidfd_);
        if (!hasEnded()) ReapLater(pid_);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    std::intptr_t waitable() const override {
        return pidfd_ >= 0 && !ended_ ? pidfd_ : Process::kNothingToWaitOn;
    }
    bool hasEnded() override {
        if (ended_) return true;
        int status = 0;
        pid_t done = 0;
        while ((done = ::waitpid(pid_, &status, WNOHANG)) < 0 && errno == EINTR) {
        }
        // Collected elsewhere counts as ended too.
        ended_ = done == pid_ || (done < 0 && errno == ECHILD);
        return ended_;
    }

private:
    pid_t pid_;
    int pidfd_;
    bool ended_ = false;
};

}  // namespace

int WindowsErrorFromErrno(int error) {
    switch (error) {
        case ENOENT:
            return 2;  // ERROR_FILE_NOT_FOUND
        case ENOTDIR:
            return 3;  // ERROR_PATH_NOT_FOUND
        case EMFILE:
        case ENFILE:
            return 4;  // ERROR_TOO_MANY_OPEN_FILES
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            return 5;  // ERROR_ACCESS_DENIED
        case EIO:
            return 30;  // ERROR_READ_FAULT
        case EAGAIN:
        case EBUSY:
        case ETXTBSY:
            return 32;  // ERROR_SHARING_VIOLATION
        case EINVAL:
            return 87;  // ERROR_INVALID_PARAMETER
        case ENOSPC:
        case EDQUOT:
            return 112;  // ERROR_DISK_FULL
        case EEXIST:
            return 183;  // ERROR_ALREADY_EXISTS
        case ENAMETOOLONG:
            return 206;  // ERROR_FILENAME_EXCED_RANGE
        default:
            return 1117;  // ERROR_IO_DEVICE
    }
}

Result<std::string> PosixPlatform::environment(const std::string& name) const {
    const char* value = std::getenv(name.c_str());
    if (value == nullptr) return Status::Failed(kEnvironmentVariableNotFound);
    return std::string(value);
}

std::string PosixPlatform::homeFolder() const {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/') return home;
    // The reentrant form: the start reads on two threads at once.
    passwd entry{};
    passwd* pw = nullptr;
    std::vector<char> buffer(16384);
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &pw) == 0 && pw != nullptr &&
        pw->pw_dir != nullptr) {
        return pw->pw_dir;
    }
    return "/";
}

namespace {

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

Result<std::unique_ptr<ByteSource>> PosixPlatform::openFile(const std::string& path) {
    // Not blocking: opening a FIFO for reading would wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return Status::Failed(WindowsErrorFromErrno(errno));
    auto source = std::make_unique<FileSource>(fd);
    struct stat st {};
    if (::fstat(fd, &st) != 0) return Status::Failed(WindowsErrorFromErrno(errno));
    // Windows refuses to open a folder as a file with "access denied".
    if (S_ISDIR(st.st_mode)) return Status::Failed(kAccessDenied);
    if (!S_ISREG(st.st_mode)) return Status::Failed(kBadFileType);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return std::unique_ptr<ByteSource>(std::move(source));
}

namespace {

// The fallback when no temporary can be made beside the file (a folder the
// user may not write) or the replacement could not keep the file's owner:
// the file itself is rewritten and flushed. Not atomic, but the only way
// that saves anything there.
bool RewriteInPlace(const std::string& target, std::string_view contents) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return false;
    struct stat st {};
    const bool written = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && WriteAll(fd, contents) &&
                         ::ftruncate(fd, static_cast<off_t>(contents.size())) == 0 &&
                         ::fsync(fd) == 0;
    return ::close(fd) == 0 && written;
}

}  // namespace

namespace {

bool ReplaceFile(const std::string& path, std::string_view contents) {
    const std::string target = FinalTarget(path);
    mode_t mode = 0644;
    struct stat st {};
    const bool existed = ::stat(target.c_str(), &st) == 0;
    if (existed) {
        if (!S_ISREG(st.st_mode)) return false;
        // A read-only file refuses the write even though its folder would let
        // us replace it.
        if (::access(target.c_str(), W_OK) != 0) return false;
        mode = st.st_mode & 07777;
    } else if (errno != ENOENT) {
        return false;
    }
    const auto slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    std::string temporary = folder + ".dorvel-XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return existed && RewriteInPlace(target, contents);
    // A save by another user (an administrator, say) leaves the file the
    // user's own; where the owner cannot be kept, the file is rewritten.
    if (existed && (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) &&
        ::fchown(fd, st.st_uid, st.st_gid) != 0) {
        ::close(fd);
        ::unlink(temporary.c_str());
        return RewriteInPlace(target, contents);
    }
    const bool written = WriteAll(fd, contents) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !written || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace

Status PosixPlatform::replaceFile(const std::string& path, std::string_view contents) {
    // The failures that matter have been told apart already; errno is of
    // whichever step failed.
    errno = 0;
    if (ReplaceFile(path, contents)) return {};
    return Status::Failed(errno == 0 ? kAccessDenied : WindowsErrorFromErrno(errno));
}

Status PosixPlatform::enumerateFolder(const std::string& path,
                                      const std::function<void(const FolderItem&)>& onItem) {
    DIR* dir = ::opendir(path.c_str());
    if (dir == nullptr)
        return Status::Failed(errno == ENOENT ? kPathNotFound : WindowsErrorFromErrno(errno));
    const int fd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
        const bool hidden = name[0] == '.';
        bool folder = entry->d_type == DT_DIR;
        // Only a link or a file system that keeps no types costs a call.
        if (!hidden && (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN)) {
            struct stat st {};
            folder = ::fstatat(fd, name, &st, 0) == 0 && S_ISDIR(st.st_mode);
        }
        onItem(FolderItem{name, folder, hidden});
    }
    ::closedir(dir);
    return {};
}

Result<EntryInfo> PosixPlatform::inspect(const std::string& path) const {
    if (path.empty()) return Status::Failed(kPathNotFound);
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        const int error = errno;
        // A link that points nowhere is there all the same.
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            return Status::Failed(error == ENOENT ? kFileNotFound : WindowsErrorFromErrno(error));
        }
    }
    EntryInfo info;
    info.isFolder = S_ISDIR(st.st_mode);
    info.size = st.st_size;
    info.modified = st.st_mtim.tv_sec;
    info.permissions = st.st_mode & 07777;
    return info;
}

namespace {

// XDG_<NAME>_DIR from the user's user-dirs.dirs, "$HOME" expanded.
std::optional<std::string> XdgUserDir(const std::string& home, const std::string& key) {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::string file =
        (config != nullptr && *config == '/' ? std::string(config) : home + "/.config") +
        "/user-dirs.dirs";
    std::ifstream in(file);
    std::string line;
    const std::string prefix = "XDG_" + key + "_DIR=\"";
    while (std::getline(in, line)) {
        if (line.rfind(prefix, 0) != 0 || line.size() < prefix.size() + 1 || line.back() != '"') {
            continue;
        }
        std::string value = line.substr(prefix.size(), line.size() - prefix.size() - 1);
        if (value.rfind("$HOME", 0) == 0) value.replace(0, 5, home);
        if (!value.empty() && value.front() == '/') return value;
    }
    return std::nullopt;
}

}  // namespace

Result<std::string> PosixPlatform::specialFolder(std::string_view name) const {
    const std::string home = homeFolder();
    auto userDir = [&](const std::string& key, const std::string& fallback) {
        auto dir = XdgUserDir(home, key);
        if (!dir || !IsDirectory(*dir)) dir = home + "/" + fallback;
        return IsDirectory(*dir) ? *dir : home;
    };
    if (name == "rfDesktop" || name == "rfDesktopDirectory") return userDir("DESKTOP", "Desktop");
    if (name == "rfPersonal" || name == "rfMyDocuments") return userDir("DOCUMENTS", "Documents");
    if (name == "rfMyComputer" || name == "rfDrives") return std::string("/");
    if (name == "rfTemplates") return userDir("TEMPLATES", "Templates");
    return Status::Failed(kFileNotFound);
}

namespace {

// 0 or the Windows error number.
int RenameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return WindowsErrorFromErrno(errno);
    // A file system without the flag: a hard link never replaces either.
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return 0;
    }
    return WindowsErrorFromErrno(errno);
}

}  // namespace

Status PosixPlatform::createFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0777) == 0) return {};
    // Windows reports a missing parent as a missing path, not a missing file.
    return Status::Failed(errno == ENOENT ? kPathNotFound : WindowsErrorFromErrno(errno));
}

namespace {

bool SyncFolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : path.substr(0, slash);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

bool CopyBytes(int in, int out) {
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got == 0) return true;
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (!WriteAll(out, std::string_view(buffer, static_cast<std::size_t>(got)))) return false;
    }
}

}  // namespace

namespace {

constexpr std::string_view kMoveTemporary = ".dorvel-move-";
// The note of a move whose copy may be in place while its source is not yet
// gone: the source's and the copy's paths, each ended by a NUL, since a
// name here may hold any other byte. Its name is no temporary's, so that
// clearing those never takes it.
constexpr std::string_view kMoveNote = ".dorvel-moved-";

std::string FolderPart(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool StartsWith(std::string_view text, std::string_view part) {
    return text.substr(0, part.size()) == part;
}

bool SameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// The name still stands for the very file that was copied, and that file has
// not changed since the copy began.
bool UnchangedSince(const std::string& path, int fd, const struct stat& before) {
    struct stat now {
    }, named{};
    return ::fstat(fd, &now) == 0 && ::lstat(path.c_str(), &named) == 0 &&
           named.st_dev == before.st_dev && named.st_ino == before.st_ino &&
           now.st_size == before.st_size && SameTime(now.st_mtim, before.st_mtim) &&
           named.st_size == before.st_size && SameTime(named.st_mtim, before.st_mtim);
}

// What became of a source: gone; left, unchanged, because it is open
// elsewhere or may not be removed; or left because it changed.
enum class Removal { Removed, Kept, Changed };

// Removes the source only while no other program has it open: a write lease
// is granted only then, and it holds others off while the name goes. Where
// the system grants no leases at all (a letter of another user, a network
// file system), the checks of the copy alone decide.
Removal RemoveUnlessInUse(const std::string& path, int fd, const struct stat& before) {
    // An open by another program breaks the lease with SIGIO, which would
    // end this one; the lease is held for moments and let go here anyway.
    static const bool leaseBreaksIgnored = ::signal(SIGIO, SIG_IGN) != SIG_ERR;
    (void)leaseBreaksIgnored;
    const bool leased = ::fcntl(fd, F_SETLEASE, F_WRLCK) == 0;
    if (!leased && errno == EAGAIN) return Removal::Kept;
    Removal removal = Removal::Changed;
    if (UnchangedSince(path, fd, before)) {
        removal = ::unlink(path.c_str()) == 0 ? Removal::Removed : Removal::Kept;
    }
    const int failed = errno;
    if (leased) ::fcntl(fd, F_SETLEASE, F_UNLCK);
    errno = failed;
    return removal;
}

bool ReadAll(int fd, std::string& bytes) {
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0) return true;
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

// Byte for byte, from the start of both.
bool SameContents(int a, int b) {
    std::vector<char> left(1 << 16), right(1 << 16);
    for (;;) {
        std::size_t gotLeft = 0, gotRight = 0;
        for (auto [fd, buffer, got] : {std::tuple{a, &left, &gotLeft}, {b, &right, &gotRight}}) {
            while (*got < buffer->size()) {
                const ssize_t n = ::read(fd, buffer->data() + *got, buffer->size() - *got);
                if (n < 0 && errno == EINTR) continue;
                if (n < 0) return false;
                if (n == 0) break;
                *got += static_cast<std::size_t>(n);
            }
        }
        if (gotLeft != gotRight) return false;
        if (gotLeft == 0) return true;
        if (std::memcmp(left.data(), right.data(), gotLeft) != 0) return false;
    }
}

// Written before the copy takes its final name, and locked until the move
// ends, so that no other move finishes a live one. -1 where it cannot be.
int WriteNote(const std::string& folder, const std::string& from, const std::string& to,
              std::string& path) {
    path = folder + std::string(kMoveNote) + "XXXXXX";
    const int fd = ::mkostemp(path.data(), O_CLOEXEC);
    if (fd < 0) return -1;
    std::string text = from;
    text += '\0';
    text += to;
    text += '\0';
    if (::flock(fd, LOCK_EX) != 0 || !WriteAll(fd, text) || ::fsync(fd) != 0) {
        ::unlink(path.c_str());
        ::close(fd);
        return -1;
    }
    return fd;
}

// The source goes only when the copy, another file, holds the very same
// bytes and nobody has the source open, so that nothing is lost whatever
// happened since: a letter changed, replaced or put back stays. The times
// are not compared: a FAT copy keeps them to two seconds. A source that may
// not go (a folder the user may not write) stays, and the copy goes instead,
// as in the move itself. False while the source is in use: ask again later.
bool SettleSource(const std::string& from, const std::string& to) {
    const int source = ::open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (source < 0) return errno == ENOENT;
    const int copy = ::open(to.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    bool settled = copy < 0 && errno == ENOENT;
    struct stat letter {
    }, copied{};
    if (copy >= 0) {
        settled = true;
        if (::fstat(source, &letter) == 0 && ::fstat(copy, &copied) == 0 &&
            S_ISREG(letter.st_mode) && S_ISREG(copied.st_mode) &&
            (letter.st_dev != copied.st_dev || letter.st_ino != copied.st_ino) &&
            letter.st_size == copied.st_size && SameContents(source, copy)) {
            if (RemoveUnlessInUse(from, source, letter) == Removal::Kept) {
                settled = errno != EAGAIN && ::unlink(to.c_str()) == 0;
            }
        }
        ::close(copy);
    }
    ::close(source);
    return settled;
}

bool SameFolder(int dirFd, const std::string& path) {
    struct stat here {
    }, there{};
    return ::fstat(dirFd, &here) == 0 && ::stat(path.empty() ? "." : path.c_str(), &there) == 0 &&
           here.st_dev == there.st_dev && here.st_ino == there.st_ino;
}

// A killed move's note names a source that may still be there beside its
// copy; one that names a copy elsewhere is none of ours, and only goes.
void FinishMove(int dirFd, const char* name) {
    const int note = ::openat(dirFd, name, O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (note < 0) return;
    struct stat st {};
    std::string text;
    if (::fstat(note, &st) != 0 || !S_ISREG(st.st_mode) || ::flock(note, LOCK_EX | LOCK_NB) != 0 ||
        !ReadAll(note, text)) {
        ::close(note);  // a live move's, or no note
        return;
    }
    const auto first = text.find('\0');
    const auto second = first == std::string::npos ? first : text.find('\0', first + 1);
    if (second != std::string::npos) {
        const std::string from = text.substr(0, first);
        const std::string to = text.substr(first + 1, second - first - 1);
        if (SameFolder(dirFd, FolderPart(to)) && !SettleSource(from, to)) {
            ::close(note);
            return;
        }
    }
    ::unlinkat(dirFd, name, 0);
    ::close(note);
}

// What killed moves into the folder left: their notes are finished first,
// then their temporaries go. A live move locks both for as long as it runs,
// so anything whose lock can be taken is a leftover.
void ClearAfterKilledMoves(const std::string& folder) {
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) return;
    const int dirFd = ::dirfd(dir);
    std::vector<std::string> notes, temporaries;
    while (const dirent* entry = ::readdir(dir)) {
        if (StartsWith(entry->d_name, kMoveNote)) notes.emplace_back(entry->d_name);
        if (StartsWith(entry->d_name, kMoveTemporary)) temporaries.emplace_back(entry->d_name);
    }
    for (const auto& name : notes) FinishMove(dirFd, name.c_str());
    for (const auto& name : temporaries) {
        const int fd = ::openat(dirFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            ::unlinkat(dirFd, name.c_str(), 0);
        }
        ::close(fd);
    }
    ::closedir(dir);
}

}  // namespace

namespace {

bool CopyAndRemove(const std::string& from, const std::string& to,
                   const std::function<void()>& afterCopy) {
    const std::string folder = FolderPart(to);
    // Before the letter is opened: a killed move of this very letter is
    // finished, not repeated.
    ClearAfterKilledMoves(folder);
    // Everything is copied from this one descriptor, whatever happens to the
    // name meanwhile.
    const int in = ::open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (in < 0) return false;
    struct stat st {};
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(in);
        return false;
    }
    std::string temporary = folder + std::string(kMoveTemporary) + "XXXXXX";
    const int out = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (out < 0) {
        ::close(in);
        return false;
    }
    ::flock(out, LOCK_EX);
    // The copy keeps the letter's mode and modification time, as a move on
    // one file system does.
    const timespec times[2] = {st.st_atim, st.st_mtim};
    bool copied = CopyBytes(in, out) && ::fchmod(out, st.st_mode & 07777) == 0 &&
                  ::futimens(out, times) == 0 && ::fsync(out) == 0;
    std::string notePath;
    const int note = copied ? WriteNote(folder, from, to, notePath) : -1;
    struct stat made {};
    copied = copied && ::fstat(out, &made) == 0;
    // The letter reaches its final name whole, or not at all; and never over
    // a file that appeared there meanwhile.
    copied = copied && note >= 0 && RenameNoReplace(temporary, to) == 0;
    ::close(out);
    if (!copied) {
        const int failed = errno;
        ::unlink(temporary.c_str());
        if (note >= 0) {
            ::unlink(notePath.c_str());
            ::close(note);
        }
        ::close(in);
        errno = failed;
        return false;
    }
    SyncFolderOf(to);
    if (afterCopy) afterCopy();
    // A source replaced or still written meanwhile stays where it is; the
    // copy stays too, so nothing is lost either way. One that is open
    // elsewhere or may not be removed, unchanged, stays alone: the copy
    // goes, as long as its name is still the copy's.
    const Removal removal = RemoveUnlessInUse(from, in, st);
    const int failed = removal == Removal::Kept && errno == EAGAIN ? EBUSY : errno;
    if (removal == Removal::Kept) {
        struct stat named {};
        if (::lstat(to.c_str(), &named) == 0 && named.st_dev == made.st_dev &&
            named.st_ino == made.st_ino) {
            ::unlink(to.c_str());
        }
    }
    ::close(in);
    ::unlink(notePath.c_str());
    ::close(note);
    errno = failed;
    return removal == Removal::Removed;
}

}  // namespace

Status CopyThenRemove(const std::string& from, const std::string& to,
                      const std::function<void()>& afterCopy) {
    errno = 0;
    if (CopyAndRemove(from, to, afterCopy)) return {};
    return Status::Failed(errno == 0 ? kAccessDenied : WindowsErrorFromErrno(errno));
}

Status PosixPlatform::move(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        SyncFolderOf(to);
        return {};
    }
    if (errno == EXDEV) return CopyThenRemove(from, to);
    if (errno == EINVAL || errno == ENOSYS) {
        if (const int error = RenameNoReplace(from, to); error != 0) return Status::Failed(error);
        return {};
    }
    return Status::Failed(WindowsErrorFromErrno(errno));
}

Result<std::string> PosixPlatform::shortPath(const std::string& path) const {
    // Names here have no short form: the path itself while something is there.
    if (const auto info = inspect(path); !info) return info.status();
    return path;
}

Result<Process> PosixPlatform::start(const Command& command) {
    if (command.arguments.empty()) return Status::Failed(kFileNotFound);
    std::vector<char*> args = ArgumentVector(command.arguments);
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    posix_spawnattr_t attributes;
    ::posix_spawnattr_init(&attributes);
    // The mover ignores SIGIO for its leases; a started program gets it back
    // as the system gives it.
    short flags = POSIX_SPAWN_SETSIGDEF;
    sigset_t defaults;
    ::sigemptyset(&defaults);
    ::sigaddset(&defaults, SIGIO);
    ::posix_spawnattr_setsigdefault(&attributes, &defaults);
    if (command.hidden) {
        // A hidden program's output goes nowhere, as a hidden console's does;
        // one that floods it can then never block on a full pipe.
        ::posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        ::posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        ::posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    } else {
        // Its own process group, so that a terminal's Ctrl+C for us spares it.
        flags |= POSIX_SPAWN_SETPGROUP;
    }
    ::posix_spawnattr_setflags(&attributes, flags);
    if (!command.workingDirectory.empty()) {
        ::posix_spawn_file_actions_addchdir_np(&actions, command.workingDirectory.c_str());
    }
    pid_t pid = 0;
    // A hidden program is named by its path and never looked up on PATH.
    const int failed =
        command.hidden ? ::posix_spawn(&pid, args[0], &actions, &attributes, args.data(), environ)
                       : ::posix_spawnp(&pid, args[0], &actions, &attributes, args.data(), environ);
    ::posix_spawnattr_destroy(&attributes);
    ::posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) return Status::Failed(WindowsErrorFromErrno(failed));
    return Process(std::make_unique<ChildProcess>(pid));
}

Platform& HostPlatform() {
    static PosixPlatform platform;
    return platform;
}

}  // namespace dorvel::platform
