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

    // Watches this folder from now on, or nothing for the empty text. The
    // watch holds the folder open, which on Windows keeps its parents from
    // being renamed or deleted and a stick from being ejected.
    void watch(const std::string& folder);
    const std::string& watched() const { return watched_; }

private:
    void stop();

    HWND notified_;
    std::string watched_;
    HANDLE stop_;
    std::thread thread_;
};

}  // namespace dorvel::ui::win32
