// Folder notices on Linux: inotify, except on the file systems whose other
// clients' changes it never hears of.

#include <sys/inotify.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <array>
#include <cerrno>

#include "platform/posix/PosixPlatform.h"

namespace dorvel::platform {
namespace {

// Shared over a network or through a user-space file system: inotify sees
// only what this machine does there.
bool RemoteFileSystem(long type) {
    static constexpr std::array<unsigned long, 10> kRemote{
        0x6969,      // NFS
        0x517B,      // SMB
        0xFF534D42,  // CIFS
        0xFE534D42,  // SMB2
        0x65735546,  // FUSE (sshfs, rclone and the like)
        0x73757245,  // Coda
        0x5346414F,  // AFS
        0x00C36400,  // Ceph
        0x01021997,  // 9P
        0x47504653,  // GPFS
    };
    for (const unsigned long remote : kRemote) {
        if (static_cast<unsigned long>(type) == remote) return true;
    }
    return false;
}

class InotifyNotice final : public FolderNotice {
public:
    explicit InotifyNotice(int fd) : fd_(fd) {}
    ~InotifyNotice() override { ::close(fd_); }
    InotifyNotice(const InotifyNotice&) = delete;
    InotifyNotice& operator=(const InotifyNotice&) = delete;

    bool changed() override {
        bool any = false;
        alignas(inotify_event) char events[4096];
        for (;;) {
            const ssize_t got = ::read(fd_, events, sizeof events);
            if (got > 0) {
                any = true;
                continue;
            }
            // Nothing more queued; anything else and the notice cannot tell.
            if (got < 0 && errno == EINTR) continue;
            return any || !(got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK));
        }
    }

private:
    int fd_;
};

}  // namespace

std::unique_ptr<FolderNotice> PosixPlatform::noticeChanges(const std::string& folder) {
    struct statfs where {};
    if (::statfs(folder.c_str(), &where) != 0 || RemoteFileSystem(where.f_type)) return nullptr;
    const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0) return nullptr;
    constexpr std::uint32_t kEntries = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                       IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
    if (::inotify_add_watch(fd, folder.c_str(), kEntries) < 0) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<InotifyNotice>(fd);
}

}  // namespace dorvel::platform
