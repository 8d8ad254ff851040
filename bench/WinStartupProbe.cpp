// A whole start of the Windows program under Wine, against a bare Win32
// window: each mode runs in a process of its own, ends the moment its window
// has been painted, and prints how long since its process was created, with
// the program's own phases. Run in the folder holding dorvel.ini, with
// ZOVOVOD set, as the program itself runs.
//
//   start_probe bare|dorvel|reads

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "core/StartupReads.h"
#include "platform/Platform.h"
#include "ui/win32/MessageBoxes.h"
#include "ui/win32/ShellMenu.h"
#include "ui/win32/Unit1.h"

namespace {

// Milliseconds since the process was created, on the system's clock.
double SinceCreation() {
    FILETIME created, exited, kernel, user, now;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    ::GetSystemTimePreciseAsFileTime(&now);
    auto value = [](const FILETIME& t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return static_cast<double>(value(now) - value(created)) / 10'000.0;
}

// Until every message already sent has been handled: the first paint of
// each control included.
void Settle() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

[[noreturn]] void Report(const char* phases) {
    std::printf("%s total %.3f\n", phases, SinceCreation());
    std::fflush(stdout);
    ::ExitProcess(0);
}

LRESULT CALLBACK BareProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    return ::DefWindowProcW(window, message, w, l);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace dorvel;
    const double entered = SinceCreation();
    char phases[256];
    if (argc > 1 && std::strcmp(argv[1], "dorvel") == 0) {
        const ui::win32::ComApartment com;
        const double com_ms = SinceCreation();
        ui::win32::MessageBoxes messages("dorvel");
        ui::win32::TForm1 form(platform::HostPlatform(), messages);
        if (form.startFailed()) return 1;
        const double made = SinceCreation();
        form.showInStoredState(SW_SHOWNORMAL);
        const double shown = SinceCreation();
        Settle();
        const double painted = SinceCreation();
        std::snprintf(phases, sizeof phases,
                      "loader %.3f com %.3f reads_listing_controls %.3f show %.3f paint %.3f",
                      entered, com_ms - entered, made - com_ms, shown - made, painted - shown);
        Report(phases);
    }
    if (argc > 1 && std::strcmp(argv[1], "reads") == 0) {
        // The start-up's reads alone: the settings and the address file.
        const core::StartupReads reads(platform::HostPlatform());
        std::snprintf(phases, sizeof phases, "loader %.3f reads %.3f", entered,
                      SinceCreation() - entered);
        Report(phases);
    }
    WNDCLASSW type{};
    type.lpfnWndProc = &BareProcedure;
    type.hInstance = ::GetModuleHandleW(nullptr);
    type.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    type.lpszClassName = L"Bare";
    ::RegisterClassW(&type);
    HWND window =
        ::CreateWindowExW(0, L"Bare", L".", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 870,
                          666, nullptr, nullptr, type.hInstance, nullptr);
    ::ShowWindow(window, SW_SHOWNORMAL);
    ::UpdateWindow(window);
    Settle();
    std::snprintf(phases, sizeof phases, "loader %.3f", entered);
    Report(phases);
}
