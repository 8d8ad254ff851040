// Folder notices on Windows: the system's change notification, except on
// drives whose changes it may not report.

#include <windows.h>

#include "platform/win32/FileSteps.h"
#include "platform/win32/Win32Platform.h"

namespace dorvel::platform {
namespace {

class ChangeNotice final : public FolderNotice {
public:
    explicit ChangeNotice(HANDLE handle) : handle_(handle) {}
    ~ChangeNotice() override { ::FindCloseChangeNotification(handle_); }
    ChangeNotice(const ChangeNotice&) = delete;
    ChangeNotice& operator=(const ChangeNotice&) = delete;

    bool changed() override {
        const DWORD state = ::WaitForSingleObject(handle_, 0);
        if (state == WAIT_TIMEOUT) return false;
        // Signalled, or the notice failed: look, and wait for the next one.
        ::FindNextChangeNotification(handle_);
        return true;
    }

private:
    HANDLE handle_;
};

// A network drive, or one the system cannot place: its notices are not to
// be relied on (another machine's change may never be reported).
bool NoticesUnreliable(const std::wstring& folder) {
    std::wstring root = WithoutExactPrefix(folder);
    if (root.size() < 3 || root[1] != L':') return true;  // a share by its UNC name
    root = root.substr(0, 3);
    const UINT type = ::GetDriveTypeW(root.c_str());
    return type == DRIVE_REMOTE || type == DRIVE_UNKNOWN || type == DRIVE_NO_ROOT_DIR;
}

}  // namespace

std::unique_ptr<FolderNotice> Win32Platform::noticeChanges(const std::string& folder) {
    const std::wstring path = ExactPath(folder);
    if (NoticesUnreliable(path)) return nullptr;
    const HANDLE handle = ::FindFirstChangeNotificationW(
        path.c_str(), FALSE,
        FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_ATTRIBUTES);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<ChangeNotice>(handle);
}

}  // namespace dorvel::platform
