// The Windows program's entry: the main window's start-up, the message loop
// until the operator closes it, and the shut-down.

#include <windows.h>

#include "platform/Platform.h"
#include "ui/win32/MessageBoxes.h"
#include "ui/win32/ShellMenu.h"
#include "ui/win32/Unit1.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showRequest) {
    using namespace dorvel;
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
