#include "ui/win32/ShellMenu.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>

#include "core/PathRules.h"
#include "platform/win32/WideText.h"
#include "ui/win32/ShellObjects.h"

namespace dorvel::ui::win32 {
namespace {

constexpr UINT kFirstCommand = 1;
constexpr UINT kLastCommand = 0x7FFF;

// The entry's own context menu.
bool MenuFor(const ITEMIDLIST* item, ComPtr<IContextMenu>& menu) {
    if (item == nullptr) return false;
    ComPtr<IShellFolder> parent;
    PCUITEMID_CHILD child = nullptr;
    if (FAILED(::SHBindToParent(item, IID_IShellFolder, parent.outVoid(), &child))) return false;
    return SUCCEEDED(
        parent->GetUIObjectOf(nullptr, 1, &child, IID_IContextMenu, nullptr, menu.outVoid()));
}

std::string VerbOf(IContextMenu* menu, UINT offset) {
    char verb[64] = {};
    if (FAILED(menu->GetCommandString(offset, GCS_VERBA, nullptr, verb, sizeof verb))) return {};
    return verb;
}

ShellMenuResult Run(HWND owner, const ITEMIDLIST* item, IContextMenu* menu, UINT offset,
                    const char* verb) {
    const std::string name = verb != nullptr ? std::string(verb) : VerbOf(menu, offset);
    if (name == "rename") return ShellMenuResult::Rename;
    CMINVOKECOMMANDINFO invoke{};
    invoke.cbSize = sizeof invoke;
    invoke.hwnd = owner;
    invoke.lpVerb = verb != nullptr ? verb : MAKEINTRESOURCEA(offset);
    invoke.nShow = SW_SHOWNORMAL;
    // A verb run without the menu asks nothing either.
    if (verb != nullptr) invoke.fMask = CMIC_MASK_FLAG_NO_UI;
    // The program's settings file lives in the current directory, which an
    // opened program must not take away; it opens in the entry's folder.
    wchar_t saved[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, saved);
    if (name == "open") {
        if (const auto path = FileSystemPathOf(item)) {
            const std::string folder = core::PathRules::Host().folderOf(*path);
            if (!folder.empty()) ::SetCurrentDirectoryW(platform::Wide(folder).c_str());
        }
    }
    const HRESULT ran = menu->InvokeCommand(&invoke);
    ::SetCurrentDirectoryW(saved);
    if (FAILED(ran)) return ShellMenuResult::Nothing;
    return name == "delete" || name == "paste" ? ShellMenuResult::Changed : ShellMenuResult::Ran;
}

}  // namespace

ShellMenuResult ShowShellMenu(HWND owner, const std::string& path, POINT at) {
    const Pidl item = ParsePath(path);
    return ShowShellMenu(owner, item.get(), at);
}

ShellMenuResult ShowShellMenu(HWND owner, const ITEMIDLIST* item, POINT at) {
    ComPtr<IContextMenu> menu;
    if (!MenuFor(item, menu)) return ShellMenuResult::Nothing;
    const HMENU popup = ::CreatePopupMenu();
    ShellMenuResult result = ShellMenuResult::Nothing;
    if (SUCCEEDED(menu->QueryContextMenu(popup, 0, kFirstCommand, kLastCommand,
                                         CMF_NORMAL | CMF_CANRENAME))) {
        const UINT chosen =
            ::TrackPopupMenuEx(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, owner, nullptr);
        if (chosen >= kFirstCommand)
            result = Run(owner, item, menu.get(), chosen - kFirstCommand, nullptr);
    }
    ::DestroyMenu(popup);
    return result;
}

ShellMenuResult RunShellVerb(HWND owner, const std::string& path, const char* verb) {
    const Pidl item = ParsePath(path);
    return RunShellVerb(owner, item.get(), verb);
}

ShellMenuResult RunShellVerb(HWND owner, const ITEMIDLIST* item, const char* verb) {
    ComPtr<IContextMenu> menu;
    if (!MenuFor(item, menu)) return ShellMenuResult::Nothing;
    // Some menus run a verb only once they have been built.
    const HMENU popup = ::CreatePopupMenu();
    menu->QueryContextMenu(popup, 0, kFirstCommand, kLastCommand, CMF_NORMAL | CMF_CANRENAME);
    const ShellMenuResult result = Run(owner, item, menu.get(), 0, verb);
    ::DestroyMenu(popup);
    return result;
}

}  // namespace dorvel::ui::win32
