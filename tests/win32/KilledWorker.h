#pragma once
// Runs the file worker (FileWorker.cpp) and kills it as taskkill /F does,
// at a chosen moment after it has begun its work.

#include <windows.h>

#include <string>

#include "platform/win32/WideText.h"
#include "win32/WineTestHelpers.h"

namespace dorvel::fakes {

inline std::string FileWorker() { return OnBuildMachine(DORVEL_FILE_WORKER); }

// Microseconds on the performance counter, for kills finer than Sleep.
inline double Microseconds() {
    LARGE_INTEGER now{}, frequency{};
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

// Starts the worker with the arguments; once it signals that its work
// begins, waits killAfter microseconds (a negative value: until it ends) and
// terminates it. Gives how long the work ran, in microseconds, or -1 when
// the worker could not be started.
inline double RunWorker(const std::string& arguments, double killAfter) {
    static int serial = 0;
    const std::wstring event = L"dorvel-ready-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                               std::to_wstring(++serial);
    const HANDLE ready = ::CreateEventW(nullptr, TRUE, FALSE, event.c_str());
    ::SetEnvironmentVariableW(L"DORVEL_READY", event.c_str());
    std::wstring line = L"\"" + platform::Wide(FileWorker()) + L"\" " + platform::Wide(arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &started)) {
        ::CloseHandle(ready);
        return -1;
    }
    ::CloseHandle(started.hThread);
    const HANDLE both[2] = {ready, started.hProcess};
    ::WaitForMultipleObjects(2, both, FALSE, 30'000);
    const double began = Microseconds();
    if (killAfter >= 0) {
        while (Microseconds() - began < killAfter) {
            if (::WaitForSingleObject(started.hProcess, 0) == WAIT_OBJECT_0) break;
        }
        ::TerminateProcess(started.hProcess, 9);
    }
    ::WaitForSingleObject(started.hProcess, 30'000);
    const double took = Microseconds() - began;
    ::CloseHandle(started.hProcess);
    ::CloseHandle(ready);
    return took;
}

}  // namespace dorvel::fakes
