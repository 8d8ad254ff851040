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

// The stored frame, cut to the available area's size and moved just enough
// that all of it is within that area. A frame wholly inside is left as it is.
ScreenRect ReachableFrame(const ScreenRect& stored, const ScreenRect& available);

}  // namespace dorvel::core
