#pragma once
// Where a window stored in the settings file may appear: within what the
// screens can show, so that an absurd stored size or place still gives a
// window that can be reached and used.

namespace dorvel::core {

struct ScreenRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const ScreenRect&) const = default;
};

// The smallest window that is still usable.
inline constexpr int kMinimumWidth = 200;
inline constexpr int kMinimumHeight = 150;
// How much of the window must stay on the screens to be caught with the mouse.
inline constexpr int kReachableMargin = 100;

// The stored frame, cut to the available area's size and moved just enough
// that its title stays within that area. A frame that fits is left as it is.
ScreenRect ReachableFrame(const ScreenRect& stored, const ScreenRect& available);

}  // namespace dorvel::core
