#pragma once
// Small owners for the system's handles, so that every font, brush, image
// list and timer goes when its window goes.

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <utility>

namespace dorvel::ui::win32 {

template <typename Handle, typename Traits>
class Owned {
public:
    Owned() = default;
    explicit Owned(Handle handle) : handle_(handle) {}
    ~Owned() { reset(); }
    Owned(Owned&& other) noexcept : handle_(std::exchange(other.handle_, Handle{})) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) {
            reset();
            handle_ = std::exchange(other.handle_, Handle{});
        }
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Handle{}; }
    void reset(Handle handle = Handle{}) {
        if (handle_ != Handle{}) Traits::Free(handle_);
        handle_ = handle;
    }

private:
    Handle handle_{};
};

struct GdiTraits {
    static void Free(HGDIOBJ object) { ::DeleteObject(object); }
};
struct IconTraits {
    static void Free(HICON icon) { ::DestroyIcon(icon); }
};
struct ImageListTraits {
    static void Free(HIMAGELIST list) { ::ImageList_Destroy(list); }
};
struct WindowTraits {
    static void Free(HWND window) { ::DestroyWindow(window); }
};

using OwnedFont = Owned<HFONT, GdiTraits>;
using OwnedBrush = Owned<HBRUSH, GdiTraits>;
using OwnedBitmap = Owned<HBITMAP, GdiTraits>;
using OwnedImageList = Owned<HIMAGELIST, ImageListTraits>;
using OwnedIcon = Owned<HICON, IconTraits>;
// A top-level window that is not a child of another (a child goes with its
// parent).
using OwnedWindow = Owned<HWND, WindowTraits>;

// A font by face name and character height in pixels.
inline OwnedFont MakeFont(const wchar_t* face, int pixelHeight, int weight = FW_NORMAL,
                          bool italic = false, BYTE charset = DEFAULT_CHARSET) {
    return OwnedFont(::CreateFontW(-pixelHeight, 0, 0, 0, weight, italic, FALSE, FALSE, charset,
                                   OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                   DEFAULT_PITCH | FF_DONTCARE, face));
}

}  // namespace dorvel::ui::win32
