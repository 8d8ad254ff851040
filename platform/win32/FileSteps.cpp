#include "platform/win32/FileSteps.h"

namespace dorvel::platform {

Status LastError() { return Status::Failed(static_cast<int>(::GetLastError())); }

std::wstring FolderPartOf(const std::wstring& path) {
    const auto cut = path.find_last_of(L"\\/:");
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
}

bool GoesOnClose(HANDLE file, bool goes) {
    FILE_DISPOSITION_INFO info{};
    info.DeleteFile = goes ? TRUE : FALSE;
    return ::SetFileInformationByHandle(file, FileDispositionInfo, &info, sizeof info) != 0;
}

void RemoveLeftovers(const std::wstring& folder, const std::wstring& pattern) {
    WIN32_FIND_DATAW found{};
    const HANDLE find = ::FindFirstFileExW((folder + pattern).c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            ::DeleteFileW((folder + found.cFileName).c_str());
        }
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
}

}  // namespace dorvel::platform
