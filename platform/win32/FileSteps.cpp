#include "platform/win32/FileSteps.h"

#include <array>
#include <cwctype>

#include "platform/win32/WideText.h"

namespace dorvel::platform {
namespace {

constexpr std::wstring_view kExact = L"\\\\?\\";
constexpr std::wstring_view kExactUnc = L"\\\\?\\UNC\\";

bool IsDotPart(std::wstring_view part) { return part == L"." || part == L".."; }

}  // namespace

std::wstring ExactPath(std::string_view utf8) {
    std::wstring path = Wide(utf8);
    for (wchar_t& c : path) {
        if (c == L'/') c = L'\\';
    }
    if (path.rfind(L"\\\\?\\", 0) == 0 || path.rfind(L"\\\\.\\", 0) == 0) return path;
    const bool unc = path.size() > 2 && path[0] == L'\\' && path[1] == L'\\';
    const bool drive =
        path.size() > 2 && std::iswalpha(path[0]) && path[1] == L':' && path[2] == L'\\';
    if (!unc && !drive) return path;
    // One separator between parts; no part that the usual rules would fold.
    std::wstring rest;
    std::size_t start = unc ? 2 : 3;
    for (std::size_t i = start; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == L'\\') {
            const std::wstring_view part(path.data() + start, i - start);
            if (IsDotPart(part)) return path;
            if (!part.empty()) {
                rest += part;
                if (i < path.size()) rest += L'\\';
            }
            start = i + 1;
        }
    }
    if (unc) return std::wstring(kExactUnc) + rest;
    return std::wstring(kExact) + path.substr(0, 3) + rest;
}

std::wstring WithoutExactPrefix(std::wstring path) {
    if (path.rfind(kExactUnc, 0) == 0) return L"\\\\" + path.substr(kExactUnc.size());
    if (path.rfind(kExact, 0) == 0) return path.substr(kExact.size());
    return path;
}

bool RewrittenByPathRules(std::wstring_view path) {
    static constexpr std::array<std::wstring_view, 4> kDevices{L"CON", L"PRN", L"AUX", L"NUL"};
    std::size_t start = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != L'\\' && path[i] != L'/') continue;
        const std::wstring_view part = path.substr(start, i - start);
        start = i + 1;
        if (part.empty() || IsDotPart(part)) continue;
        if (part.back() == L'.' || part.back() == L' ') return true;
        // A device name stands for the device whatever extension follows.
        std::wstring base(part.substr(0, part.find(L'.')));
        while (!base.empty() && base.back() == L' ') base.pop_back();
        for (wchar_t& c : base) c = static_cast<wchar_t>(std::towupper(c));
        for (const auto device : kDevices) {
            if (base == device) return true;
        }
        if (base.size() == 4 && (base.rfind(L"COM", 0) == 0 || base.rfind(L"LPT", 0) == 0) &&
            base[3] >= L'1' && base[3] <= L'9') {
            return true;
        }
        if (base == L"CONIN$" || base == L"CONOUT$") return true;
    }
    return false;
}

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
