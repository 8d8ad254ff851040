#pragma once
// Owners for what the shell hands out: COM interfaces and item lists, and
// the few questions the program asks about an item.

#include <windows.h>
// After windows.h, which they need.
#include <shlobj.h>

#include <optional>
#include <string>

namespace dorvel::ui::win32 {

// A COM pointer released when it goes.
template <typename Interface>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            p_ = other.p_;
            other.p_ = nullptr;
        }
        return *this;
    }
    void reset() {
        if (p_ != nullptr) p_->Release();
        p_ = nullptr;
    }
    Interface** out() {
        reset();
        return &p_;
    }
    void** outVoid() { return reinterpret_cast<void**>(out()); }
    Interface* get() const { return p_; }
    Interface* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    Interface* p_ = nullptr;
};

// An item list the shell allocated (absolute or relative to a folder),
// freed when it goes.
class Pidl {
public:
    Pidl() = default;
    explicit Pidl(ITEMIDLIST* p) : p_(p) {}
    ~Pidl() { ::CoTaskMemFree(p_); }
    Pidl(const Pidl&) = delete;
    Pidl& operator=(const Pidl&) = delete;
    Pidl(Pidl&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
    Pidl& operator=(Pidl&& other) noexcept {
        if (this != &other) {
            ::CoTaskMemFree(p_);
            p_ = other.p_;
            other.p_ = nullptr;
        }
        return *this;
    }
    ITEMIDLIST** out() {
        ::CoTaskMemFree(p_);
        p_ = nullptr;
        return &p_;
    }
    ITEMIDLIST* get() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    Pidl clone() const { return Pidl(p_ != nullptr ? ::ILClone(p_) : nullptr); }

private:
    ITEMIDLIST* p_ = nullptr;
};

// The item a path names, or an empty list when the shell parses none.
Pidl ParsePath(const std::string& path);
// The item of one of the shell's folders outside the file system, by the
// special-folder name a root text may hold ("rfDesktop" is the top of the
// name space); an empty list for any other name.
Pidl VirtualSpecialFolder(const std::string& name);
// The shell's folder object for an absolute item; the desktop for the top.
ComPtr<IShellFolder> BindFolder(const ITEMIDLIST* absolute);
// The path of an item in the file system; nothing for the top of the name
// space (whose path is only the desktop's folder) and for virtual items.
std::optional<std::string> FileSystemPathOf(const ITEMIDLIST* absolute);
// One of an item's names in its folder, in UTF-8.
std::string DisplayNameOf(IShellFolder* folder, const ITEMIDLIST* child, SHGDNF kind);
// The index of the item's small icon in the system image list.
int SmallIconOf(const ITEMIDLIST* absolute);

}  // namespace dorvel::ui::win32
