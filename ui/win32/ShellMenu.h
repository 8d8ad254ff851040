#pragma once
// The shell's own context menu for one file or folder: what Explorer offers
// on it (open, cut, copy, paste, delete, rename, properties, and whatever
// the installed programs add).

#include <windows.h>
// After windows.h, which it needs.
#include <ole2.h>
#include <shtypes.h>
// After windows.h and ole2.h.
#include <shlobj.h>

#include <string>

namespace dorvel::ui::win32 {

// What the operator chose from the menu.
enum class ShellMenuResult { Nothing, Ran, Rename, Changed };

// Shows the menu at the screen point and runs the chosen command. "rename"
// is left to the caller, who edits the name in place; the open command
// runs with the current directory saved and restored around it, as the
// settings file lives there; a delete or a paste reports Changed so that
// the view lists its folder again.
ShellMenuResult ShowShellMenu(HWND owner, const ITEMIDLIST* item, POINT at);
ShellMenuResult ShowShellMenu(HWND owner, const std::string& path, POINT at);

// Runs one of the menu's commands by its verb, without the menu; for the
// tests and the keyboard.
ShellMenuResult RunShellVerb(HWND owner, const ITEMIDLIST* item, const char* verb);
ShellMenuResult RunShellVerb(HWND owner, const std::string& path, const char* verb);

// While a shell menu is up, the messages that build and draw its submenus
// ("Send to", "Open with", "New") and their owner-drawn icons reach the
// window that owns the menu; this hands them on to the menu's handler.
class MenuMessageForwarding {
public:
    MenuMessageForwarding(HWND owner, IUnknown* menu);
    ~MenuMessageForwarding();
    MenuMessageForwarding(const MenuMessageForwarding&) = delete;
    MenuMessageForwarding& operator=(const MenuMessageForwarding&) = delete;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l, UINT_PTR id,
                                      DWORD_PTR self);
    HWND owner_;
    IContextMenu2* second_ = nullptr;
    IContextMenu3* third_ = nullptr;
};

// Leaves what the shell's "Copy" or "Cut" put on the clipboard there for
// other programs once this one has ended.
void KeepClipboardAfterExit();

// The COM the shell's objects need, for the lifetime of the user interface.
class ComApartment {
public:
    ComApartment() : ok_(SUCCEEDED(::OleInitialize(nullptr))) {}
    ~ComApartment() {
        if (!ok_) return;
        KeepClipboardAfterExit();
        ::OleUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool ok_;
};

}  // namespace dorvel::ui::win32
