#include "core/WindowPlacement.h"

#include <algorithm>
#include <cstdint>

namespace dorvel::core {
namespace {

// Stored values are any 32-bit integers: work in 64 bits, so that nothing
// overflows on the way.
int Clamp(std::int64_t value, std::int64_t low, std::int64_t high) {
    return static_cast<int>(std::clamp(value, low, std::max(low, high)));
}

}  // namespace

ScreenRect ReachableFrame(const ScreenRect& stored, const ScreenRect& available) {
    if (available.width <= 0 || available.height <= 0) return stored;
    ScreenRect r;
    r.width = Clamp(stored.width, std::min(kMinimumWidth, available.width), available.width);
    r.height = Clamp(stored.height, std::min(kMinimumHeight, available.height), available.height);
    const std::int64_t right = std::int64_t{available.left} + available.width;
    const std::int64_t bottom = std::int64_t{available.top} + available.height;
    // Wholly on the screens, since it fits once cut: a frame stored on a
    // larger or less scaled screen would otherwise show only a corner, and
    // that corner would be written back.
    r.left = Clamp(stored.left, available.left, right - r.width);
    r.top = Clamp(stored.top, available.top, bottom - r.height);
    return r;
}

}  // namespace dorvel::core
