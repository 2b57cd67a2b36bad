#pragma once

#include "spaces/WindowServer.h"

namespace tidemark {

// Below these a window is a sliver or invisible: no window a user works in.
inline constexpr double kRealWindowMinimumSide = 50;
inline constexpr double kRealWindowMinimumAlpha = 0.01;

// Whether a window is opaque and large enough to be one a user works in. A fact the window
// server left out rules nothing out. Both real-window rules start from this; they differ in
// what else they ask.
inline bool hasWorkingWindowShape(const WindowInfo& window) {
    if (window.alpha && *window.alpha < kRealWindowMinimumAlpha)
        return false;
    return !window.size || !(window.size->width < kRealWindowMinimumSide ||
                             window.size->height < kRealWindowMinimumSide);
}

} // namespace tidemark
