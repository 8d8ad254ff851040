// The Windows program's entry: the main window's start-up, the message loop
// until the operator closes it, and the shut-down.

#include <windows.h>
// After windows.h.
#include <shellapi.h>

#include <string>

#include "platform/Platform.h"
#include "ui/win32/MessageBoxes.h"
#include "ui/win32/ShellMenu.h"
#include "ui/win32/Unit1.h"

namespace {

// "--settings-folder FOLDER": the folder to start in, where dorvel.ini
// lives; environment variables in it are expanded, and it is made if it is
// missing. A per-machine installation's shortcut names %APPDATA%\Dorvel so,
// as a shortcut's own working folder would be the installing user's.
void EnterSettingsFolder() {
    int count = 0;
    wchar_t** arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (arguments == nullptr) return;
    for (int i = 1; i + 1 < count; ++i) {
        if (std::wstring(arguments[i]) != L"--settings-folder") continue;
        wchar_t folder[MAX_PATH] = {};
        if (::ExpandEnvironmentStringsW(arguments[i + 1], folder, MAX_PATH) > 0) {
            ::CreateDirectoryW(folder, nullptr);
            ::SetCurrentDirectoryW(folder);
        }
    }
    ::LocalFree(arguments);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showRequest) {
    using namespace dorvel;
    EnterSettingsFolder();
    // Tells the installers that the program runs, so that they ask for it
    // to be closed before they replace or remove its file (dorvel.nsi names
    // it too). The system lets go of it when the process ends.
    const HANDLE running = ::CreateMutexW(nullptr, FALSE, L"DorvelRunning");
    const ui::win32::ComApartment com;
    ui::win32::MessageBoxes messages(ui::win32::RunningProgramTitle());
    ui::win32::TForm1 form(platform::HostPlatform(), messages);
    if (!form.startFailed()) {
        form.showInStoredState(showRequest);
        MSG message;
        while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
            if (form.dialogKey(message)) continue;
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    form.FormDestroy();
    if (running != nullptr) ::CloseHandle(running);
    return 0;
}
