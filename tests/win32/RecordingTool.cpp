// Stands in for TOMAIL.EXE in the Windows suites: appends the command line
// exactly as the system handed it over, a tab, and the show state it was
// started with (-1 when none was asked for) to the file that DORVEL_RECORD
// names; then sleeps DORVEL_TOMAIL_DELAY_MS milliseconds, if set.

#include <windows.h>

#include <cstdlib>
#include <string>

int main() {
    const wchar_t* line = ::GetCommandLineW();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    ::GetStartupInfoW(&startup);
    const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : -1;

    const int length = ::WideCharToMultiByte(CP_UTF8, 0, line, -1, nullptr, 0, nullptr, nullptr);
    std::string record(static_cast<std::size_t>(length > 0 ? length - 1 : 0), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, line, -1, record.data(), length, nullptr, nullptr);
    record += '\t' + std::to_string(show) + "\r\n";

    wchar_t path[MAX_PATH] = {};
    if (::GetEnvironmentVariableW(L"DORVEL_RECORD", path, MAX_PATH) == 0) return 2;
    const HANDLE file = ::CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 3;
    DWORD put = 0;
    ::WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &put, nullptr);
    ::CloseHandle(file);

    char delay[32] = {};
    if (::GetEnvironmentVariableA("DORVEL_TOMAIL_DELAY_MS", delay, sizeof delay) > 0) {
        ::Sleep(static_cast<DWORD>(std::atoi(delay)));
    }
    return 0;
}
