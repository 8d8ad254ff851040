#include "platform/posix/HomeTrash.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace dorvel::platform {
namespace {

// Creates each missing level; the ones created are for the user alone, as
// the trash holds what other users must not read.
bool MakeFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string level = path.substr(0, slash);
        if (::mkdir(level.c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) break;
    }
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The path as a URL path: bytes outside the unreserved set and '/' escaped.
std::string Escaped(const std::string& path) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (const char c : path) {
        const auto u = static_cast<unsigned char>(c);
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
            std::strchr("-._~/", c) != nullptr) {
            out += c;
        } else {
            out += '%';
            out += hex[u >> 4];
            out += hex[u & 15];
        }
    }
    return out;
}

std::string LocalTime(std::time_t at) {
    std::tm parts{};
    ::localtime_r(&at, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &parts);
    return text;
}

// NAME, then NAME.2, NAME.3 ...: a trashed file never replaces another.
std::string Candidate(const std::string& name, int attempt) {
    return attempt == 1 ? name : name + "." + std::to_string(attempt);
}

bool WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t put = ::write(fd, text.data() + done, text.size() - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        done += static_cast<std::size_t>(put);
    }
    return true;
}

}  // namespace

std::string HomeTrashFolder(const std::string& homeFolder) {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/') return std::string(data) + "/Trash";
    return homeFolder + "/.local/share/Trash";
}

std::optional<std::string> MoveToTrash(const std::string& path, const std::string& trashFolder,
                                       std::time_t deletedAt) {
    const std::string refused = "Cannot move " + path + " to the trash";
    std::string name = path.substr(path.rfind('/') + 1);
    if (path.empty() || path.front() != '/' || name.empty() || trashFolder.empty() ||
        trashFolder.front() != '/') {
        return refused;
    }
    if (!MakeFolders(trashFolder + "/files") || !MakeFolders(trashFolder + "/info")) {
        return refused + ": the trash folder " + trashFolder + " cannot be made";
    }
    const std::string info =
        "[Trash Info]\nPath=" + Escaped(path) + "\nDeletionDate=" + LocalTime(deletedAt) + "\n";
    for (int attempt = 1; attempt < 10000; ++attempt) {
        const std::string candidate = Candidate(name, attempt);
        std::string infoPath = trashFolder;
        infoPath.append("/info/").append(candidate).append(".trashinfo");
        // The info file claims the name first, as the freedesktop.org trash
        // rules ask, so that two programs never pick the same one.
        const int fd = ::open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return refused;
        }
        const bool written = WriteAll(fd, info) && ::fsync(fd) == 0;
        if (::close(fd) != 0 || !written) {
            ::unlink(infoPath.c_str());
            return refused;
        }
        std::string target = trashFolder;
        target.append("/files/").append(candidate);
        if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
            return std::nullopt;
        }
        const int error = errno;
        ::unlink(infoPath.c_str());
        if (error == EEXIST) continue;
        if (error == EXDEV) return refused + ": it lies on another file system than the trash";
        return refused + ": " + std::strerror(error);
    }
    return refused;
}

}  // namespace dorvel::platform
