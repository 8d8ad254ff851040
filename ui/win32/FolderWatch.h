#pragma once
// Watches one folder for files or folders created, deleted or renamed
// directly in it, on a thread of its own, and hands each notice to the
// user-interface thread as a message posted to a window.

#include <windows.h>

#include <string>
#include <thread>

namespace dorvel::ui::win32 {

class FolderWatch {
public:
    // Posted to the window, its wParam unused, for each change noticed.
    static constexpr UINT kChanged = WM_APP + 1;

    explicit FolderWatch(HWND notified);
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // Watches this folder from now on, or nothing for the empty text.
    void watch(const std::string& folder);

private:
    void stop();

    HWND notified_;
    HANDLE stop_;
    std::thread thread_;
};

}  // namespace dorvel::ui::win32
