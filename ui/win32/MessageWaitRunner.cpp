#include "ui/win32/MessageWaitRunner.h"

#include <windows.h>

namespace dorvel::ui::win32 {

bool MessageWaitRunner::RunAndWait(const platform::Command& command) {
    auto process = platform_.start(command);
    if (!process) return false;
    const auto waitable = process->waitable();
    if (waitable == platform::Process::kNothingToWaitOn) return true;
    const HANDLE ended = reinterpret_cast<HANDLE>(waitable);
    while (!closing_) {
        const DWORD woke =
            ::MsgWaitForMultipleObjectsEx(1, &ended, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woke != WAIT_OBJECT_0 + 1) break;  // the program ended, or the wait failed
        MSG message;
        while (!closing_ && ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                // Left for the main loop, which ends on it.
                ::PostQuitMessage(static_cast<int>(message.wParam));
                closing_ = true;
                break;
            }
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    return true;
}

}  // namespace dorvel::ui::win32
