// Stands in for TOMAIL.EXE in the Windows suites: appends the command line
// exactly as the system handed it over, a tab, and the show state it was
// started with (-1 when none was asked for) to the file that DORVEL_RECORD
// names; then sleeps DORVEL_TOMAIL_DELAY_MS milliseconds, if set. Where
// DORVEL_RECORD_HEX names a file, it also writes there both command lines
// as the system hands them to a Unicode and to an ANSI program, in hex, and
// the ANSI code page: "W:<UTF-16 units> A:<bytes> ACP:<number>".

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Append(const wchar_t* path, const std::string& record) {
    const HANDLE file = ::CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) std::exit(3);
    DWORD put = 0;
    ::WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &put, nullptr);
    ::CloseHandle(file);
}

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

std::string HexLines() {
    std::string record = "W:";
    for (const wchar_t* w = ::GetCommandLineW(); *w != 0; ++w) {
        record += Hex(static_cast<unsigned>(*w), 4) + " ";
    }
    record += "A:";
    for (const char* a = ::GetCommandLineA(); *a != 0; ++a) {
        record += Hex(static_cast<unsigned char>(*a), 2) + " ";
    }
    return record + "ACP:" + std::to_string(::GetACP()) + "\r\n";
}

}  // namespace

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
    Append(path, record);
    if (::GetEnvironmentVariableW(L"DORVEL_RECORD_HEX", path, MAX_PATH) > 0) {
        Append(path, HexLines());
    }

    char delay[32] = {};
    if (::GetEnvironmentVariableA("DORVEL_TOMAIL_DELAY_MS", delay, sizeof delay) > 0) {
        ::Sleep(static_cast<DWORD>(std::atoi(delay)));
    }
    return 0;
}
