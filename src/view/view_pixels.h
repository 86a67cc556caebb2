// Pixel sums of the timeline view are taken in 64 bits: a frame far along a long storyboard at
// a fine scale lies billions of pixels out. A result beyond int is pinned at its end, which lies
// off any screen either way.
#pragma once

#include <algorithm>
#include <climits>

namespace kel::sbedit {

inline int ClampToInt(long long value) {
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

} // namespace kel::sbedit
