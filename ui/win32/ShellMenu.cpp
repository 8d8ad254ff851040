#include "ui/win32/ShellMenu.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>

#include "platform/win32/WideText.h"

namespace dorvel::ui::win32 {
namespace {

constexpr UINT kFirstCommand = 1;
constexpr UINT kLastCommand = 0x7FFF;

// A COM pointer released when it goes.
template <typename Interface>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() {
        if (p_ != nullptr) p_->Release();
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    Interface** out() { return &p_; }
    Interface* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    Interface* p_ = nullptr;
};

// An item list the shell allocated, freed when it goes.
class Pidl {
public:
    ~Pidl() { ::CoTaskMemFree(p_); }
    PIDLIST_ABSOLUTE* out() { return &p_; }
    PIDLIST_ABSOLUTE get() const { return p_; }

private:
    PIDLIST_ABSOLUTE p_ = nullptr;
};

// The entry's own context menu.
bool MenuFor(const std::string& path, ComPtr<IContextMenu>& menu) {
    Pidl item;
    if (FAILED(
            ::SHParseDisplayName(platform::Wide(path).c_str(), nullptr, item.out(), 0, nullptr))) {
        return false;
    }
    ComPtr<IShellFolder> parent;
    PCUITEMID_CHILD child = nullptr;
    if (FAILED(::SHBindToParent(item.get(), IID_IShellFolder,
                                reinterpret_cast<void**>(parent.out()), &child))) {
        return false;
    }
    return SUCCEEDED(parent->GetUIObjectOf(nullptr, 1, &child, IID_IContextMenu, nullptr,
                                           reinterpret_cast<void**>(menu.out())));
}

std::string VerbOf(IContextMenu* menu, UINT offset) {
    char verb[64] = {};
    if (FAILED(menu->GetCommandString(offset, GCS_VERBA, nullptr, verb, sizeof verb))) return {};
    return verb;
}

ShellMenuResult Run(HWND owner, IContextMenu* menu, UINT offset, const char* verb) {
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
    // opened program must not take away.
    wchar_t saved[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, saved);
    const HRESULT ran = menu->InvokeCommand(&invoke);
    ::SetCurrentDirectoryW(saved);
    if (FAILED(ran)) return ShellMenuResult::Nothing;
    return name == "delete" || name == "paste" ? ShellMenuResult::Changed : ShellMenuResult::Ran;
}

}  // namespace

ShellMenuResult ShowShellMenu(HWND owner, const std::string& path, POINT at) {
    ComPtr<IContextMenu> menu;
    if (!MenuFor(path, menu)) return ShellMenuResult::Nothing;
    const HMENU popup = ::CreatePopupMenu();
    ShellMenuResult result = ShellMenuResult::Nothing;
    if (SUCCEEDED(menu->QueryContextMenu(popup, 0, kFirstCommand, kLastCommand,
                                         CMF_NORMAL | CMF_CANRENAME))) {
        const UINT chosen =
            ::TrackPopupMenuEx(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, owner, nullptr);
        if (chosen >= kFirstCommand)
            result = Run(owner, menu.operator->(), chosen - kFirstCommand, nullptr);
    }
    ::DestroyMenu(popup);
    return result;
}

ShellMenuResult RunShellVerb(HWND owner, const std::string& path, const char* verb) {
    ComPtr<IContextMenu> menu;
    if (!MenuFor(path, menu)) return ShellMenuResult::Nothing;
    // Some menus run a verb only once they have been built.
    const HMENU popup = ::CreatePopupMenu();
    menu->QueryContextMenu(popup, 0, kFirstCommand, kLastCommand, CMF_NORMAL | CMF_CANRENAME);
    const ShellMenuResult result = Run(owner, menu.operator->(), 0, verb);
    ::DestroyMenu(popup);
    return result;
}

}  // namespace dorvel::ui::win32
