#include "ui/win32/ShellObjects.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <array>
#include <string_view>

#include "core/FolderEntry.h"
#include "platform/win32/FileSteps.h"
#include "platform/win32/WideText.h"

namespace dorvel::ui::win32 {
namespace {

struct VirtualFolderName {
    std::string_view name;
    int csidl;
};

// The special folders that have no path of their own; the platform answers
// for the others, which are folders of the file system.
constexpr std::array kVirtualFolders{
    VirtualFolderName{core::kDesktopRoot, CSIDL_DESKTOP},
    VirtualFolderName{"rfMyComputer", CSIDL_DRIVES},
    VirtualFolderName{"rfNetwork", CSIDL_NETWORK},
    VirtualFolderName{"rfRecycleBin", CSIDL_BITBUCKET},
    VirtualFolderName{"rfControlPanel", CSIDL_CONTROLS},
    VirtualFolderName{"rfPrinters", CSIDL_PRINTERS},
    VirtualFolderName{"rfInternet", CSIDL_INTERNET},
};

}  // namespace

Pidl ParsePath(const std::string& path) {
    Pidl item;
    // The shell parses by the ordinary path rules: for REPORT.DOC. or
    // con.doc it would give the twin or the device, and its menu, details
    // and default action would act on that. Such a name has no shell item.
    if (path.empty() || platform::RewrittenByPathRules(platform::Wide(path)) ||
        FAILED(
            ::SHParseDisplayName(platform::Wide(path).c_str(), nullptr, item.out(), 0, nullptr))) {
        return {};
    }
    return item;
}

Pidl VirtualSpecialFolder(const std::string& name) {
    for (const auto& folder : kVirtualFolders) {
        if (folder.name != name) continue;
        Pidl item;
        if (FAILED(::SHGetSpecialFolderLocation(nullptr, folder.csidl, item.out()))) return {};
        return item;
    }
    return {};
}

ComPtr<IShellFolder> BindFolder(const ITEMIDLIST* absolute) {
    ComPtr<IShellFolder> desktop;
    if (FAILED(::SHGetDesktopFolder(desktop.out()))) return {};
    if (absolute == nullptr || ILIsEmpty(absolute)) return desktop;
    ComPtr<IShellFolder> folder;
    if (FAILED(desktop->BindToObject(absolute, nullptr, IID_IShellFolder, folder.outVoid()))) {
        return {};
    }
    return folder;
}

std::optional<std::string> FileSystemPathOf(const ITEMIDLIST* absolute) {
    if (absolute == nullptr || ILIsEmpty(absolute)) return std::nullopt;
    wchar_t path[MAX_PATH] = {};
    if (!::SHGetPathFromIDListW(absolute, path) || path[0] == L'\0') return std::nullopt;
    return platform::Utf8(path);
}

std::string DisplayNameOf(IShellFolder* folder, const ITEMIDLIST* child, SHGDNF kind) {
    STRRET name{};
    if (FAILED(folder->GetDisplayNameOf(child, kind, &name))) return {};
    wchar_t* text = nullptr;
    if (FAILED(::StrRetToStrW(&name, child, &text))) return {};
    std::string result = platform::Utf8(text);
    ::CoTaskMemFree(text);
    return result;
}

int SmallIconOf(const ITEMIDLIST* absolute) {
    SHFILEINFOW info{};
    ::SHGetFileInfoW(reinterpret_cast<const wchar_t*>(absolute), 0, &info, sizeof info,
                     SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    return info.iIcon;
}

}  // namespace dorvel::ui::win32
