#include "ui/win32/ShellMenu.h"

#include <commctrl.h>
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

// The verb in UTF-16, as handlers are to give it; the ANSI form only from
// a handler that has no other.
std::string VerbOf(IContextMenu* menu, UINT offset) {
    wchar_t wide[64] = {};
    if (SUCCEEDED(menu->GetCommandString(offset, GCS_VERBW, nullptr, reinterpret_cast<char*>(wide),
                                         64)) &&
        wide[0] != 0) {
        return platform::Utf8(wide);
    }
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
        UINT chosen = 0;
        {
            const MenuMessageForwarding forwarding(owner, menu.get());
            chosen = ::TrackPopupMenuEx(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, owner,
                                        nullptr);
        }
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

MenuMessageForwarding::MenuMessageForwarding(HWND owner, IUnknown* menu) : owner_(owner) {
    if (menu == nullptr) return;
    if (FAILED(menu->QueryInterface(IID_IContextMenu3, reinterpret_cast<void**>(&third_)))) {
        third_ = nullptr;
        if (FAILED(menu->QueryInterface(IID_IContextMenu2, reinterpret_cast<void**>(&second_)))) {
            second_ = nullptr;
        }
    }
    if (third_ != nullptr || second_ != nullptr) {
        ::SetWindowSubclass(owner_, &MenuMessageForwarding::Procedure, 1,
                            reinterpret_cast<DWORD_PTR>(this));
    }
}

MenuMessageForwarding::~MenuMessageForwarding() {
    if (third_ == nullptr && second_ == nullptr) return;
    ::RemoveWindowSubclass(owner_, &MenuMessageForwarding::Procedure, 1);
    if (third_ != nullptr) third_->Release();
    if (second_ != nullptr) second_->Release();
}

LRESULT CALLBACK MenuMessageForwarding::Procedure(HWND window, UINT message, WPARAM w, LPARAM l,
                                                  UINT_PTR /*id*/, DWORD_PTR self) {
    const auto* forwarding = reinterpret_cast<const MenuMessageForwarding*>(self);
    bool menus = false;
    switch (message) {
        case WM_INITMENUPOPUP:
        case WM_MENUCHAR:
            menus = true;
            break;
        case WM_DRAWITEM:
            // A control's own drawing (the check-list) stays the window's.
            menus = reinterpret_cast<const DRAWITEMSTRUCT*>(l)->CtlType == ODT_MENU;
            break;
        case WM_MEASUREITEM:
            menus = reinterpret_cast<const MEASUREITEMSTRUCT*>(l)->CtlType == ODT_MENU;
            break;
        default:
            break;
    }
    if (menus) {
        LRESULT result = 0;
        if (forwarding->third_ != nullptr &&
            SUCCEEDED(forwarding->third_->HandleMenuMsg2(message, w, l, &result))) {
            return result;
        }
        if (forwarding->second_ != nullptr && message != WM_MENUCHAR &&
            SUCCEEDED(forwarding->second_->HandleMenuMsg(message, w, l))) {
            return message == WM_INITMENUPOPUP ? 0 : TRUE;
        }
    }
    return ::DefSubclassProc(window, message, w, l);
}

void KeepClipboardAfterExit() { ::OleFlushClipboard(); }

}  // namespace dorvel::ui::win32
