// A program that does one move or one save and is killed midway by the
// Windows suites: "move FROM TO" or "save PATH BYTES SEED". It signals the
// event named by DORVEL_READY right before the work begins, so that a kill
// can be timed from there rather than from the start of the process.

#include <windows.h>

#include <cstdlib>
#include <string>

#include "platform/Platform.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Platform.h"

namespace {

// The same bytes for a seed every time, so that a save can be recognised
// whole.
std::string Contents(std::size_t bytes, unsigned seed) {
    std::string text(bytes, '\0');
    for (std::size_t i = 0; i < bytes; ++i) {
        text[i] = static_cast<char>('a' + (i * 31 + seed * 7 + i / 977) % 26);
    }
    return text;
}

void SignalReady() {
    wchar_t name[128] = {};
    if (::GetEnvironmentVariableW(L"DORVEL_READY", name, 128) == 0) return;
    if (const HANDLE ready = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, name)) {
        ::SetEvent(ready);
        ::CloseHandle(ready);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    using namespace dorvel::platform;
    if (argc == 4 && std::wstring(argv[1]) == L"move") {
        SignalReady();
        return CopyThenRemove(Utf8(argv[2]), Utf8(argv[3])) ? 0 : 1;
    }
    if (argc == 5 && std::wstring(argv[1]) == L"save") {
        const std::string contents =
            Contents(std::wcstoul(argv[3], nullptr, 10),
                     static_cast<unsigned>(std::wcstoul(argv[4], nullptr, 10)));
        SignalReady();
        return HostPlatform().replaceFile(Utf8(argv[2]), contents) ? 0 : 1;
    }
    return 2;
}
