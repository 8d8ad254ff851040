#include "ui/win32/FolderWatch.h"

#include "platform/win32/WideText.h"

namespace dorvel::ui::win32 {

FolderWatch::FolderWatch(HWND notified)
    : notified_(notified), stop_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

FolderWatch::~FolderWatch() {
    stop();
    ::CloseHandle(stop_);
}

void FolderWatch::stop() {
    if (!thread_.joinable()) return;
    ::SetEvent(stop_);
    thread_.join();
    ::ResetEvent(stop_);
}

void FolderWatch::watch(const std::string& folder) {
    stop();
    watched_.clear();
    if (folder.empty()) return;
    const HANDLE change =
        ::FindFirstChangeNotificationW(platform::Wide(folder).c_str(), FALSE,
                                       FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME);
    if (change == INVALID_HANDLE_VALUE) return;
    watched_ = folder;
    thread_ = std::thread([change, stop = stop_, notified = notified_] {
        const HANDLE waits[2] = {stop, change};
        while (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
            ::PostMessageW(notified, kChanged, 0, 0);
            if (!::FindNextChangeNotification(change)) break;
        }
        ::FindCloseChangeNotification(change);
    });
}

}  // namespace dorvel::ui::win32
