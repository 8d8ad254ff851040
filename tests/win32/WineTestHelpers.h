#pragma once
// What the Windows suites share: the build machine's files as Wine sees
// them, and the recording tool's lines.

#include <windows.h>

#include <sstream>
#include <string>
#include <vector>

namespace dorvel::fakes {

// A file of the build machine, on Wine's drive Z:.
inline std::string OnBuildMachine(std::string path) {
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return "Z:" + path;
}

// The recording stand-in for TOMAIL.EXE, built beside the suites.
inline std::string RecordingTool() { return OnBuildMachine(DORVEL_RECORDING_TOOL); }

// The lines of a record, without their CRs.
inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// Under Wine, a symbolic link made by Linux's ln, as Samba or a Linux
// program would have left it: Wine makes none itself. False elsewhere.
inline bool MakeLinuxLink(const std::wstring& target, const std::wstring& link) {
    using UnixName = char* (*)(const wchar_t*);
    const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (unixName == nullptr) return false;
    auto quoted = [&](const std::wstring& path) {
        char* name = unixName(path.c_str());
        std::string text = name != nullptr ? name : "";
        if (name != nullptr) ::HeapFree(::GetProcessHeap(), 0, name);
        return L"\"" + std::wstring(text.begin(), text.end()) + L"\"";
    };
    // A target that is not there has no Unix name of its own: it is taken
    // as it stands, with Linux's separators.
    std::wstring to = target;
    if (::GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES) {
        to = quoted(target);
    }
    const std::wstring line = L"/bin/ln -s " + to + L" " + quoted(link);
    auto run = [&] {
        std::wstring command = line;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started{};
        if (!::CreateProcessW(L"Z:\\bin\\ln", command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &startup, &started)) {
            return false;
        }
        ::CloseHandle(started.hProcess);
        ::CloseHandle(started.hThread);
        return true;
    };
    if (!run()) return false;
    // Wine does not wait for a Linux program: wait for the name to be taken.
    // The probe takes the name for a moment when it is free, and an ln that
    // runs just then finds it taken and makes nothing: so ln is run again
    // now and then until the link is there.
    for (int tries = 1; tries <= 500; ++tries) {
        const HANDLE probe = ::CreateFileW(link.c_str(), GENERIC_READ | DELETE, 7, nullptr,
                                           CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (probe == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_FILE_EXISTS;
        ::CloseHandle(probe);
        ::Sleep(10);
        if (tries % 20 == 0 && !run()) return false;
    }
    return false;
}

}  // namespace dorvel::fakes
