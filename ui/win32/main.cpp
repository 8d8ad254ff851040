// The Windows program's entry: the main window's start-up, the message loop
// until the operator closes it, and the shut-down.

#include <windows.h>

#include "platform/Platform.h"
#include "ui/win32/MessageBoxes.h"
#include "ui/win32/ShellMenu.h"
#include "ui/win32/Unit1.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showRequest) {
    using namespace dorvel;
    const ui::win32::ComApartment com;
    ui::win32::MessageBoxes messages(ui::win32::RunningProgramTitle());
    ui::win32::TForm1 form(platform::HostPlatform(), messages);
    if (!form.startFailed()) {
        form.showInStoredState(showRequest);
        MSG message;
        while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    form.FormDestroy();
    return 0;
}
