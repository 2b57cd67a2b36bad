#pragma once

#include "foundation/Value.h"
#include "spaces/WindowServer.h"

#include <cstdint>
#include <optional>
#include <unordered_set>

namespace tidemark {

// Minimum size of a real window, in points, and its minimum opacity.
inline constexpr double kRealWindowMinimumSide = 50;
inline constexpr double kRealWindowMinimumAlpha = 0.01;

// The processes that own at least one real window of the window list: layer 0, visible, not
// tiny, and on some space (or on screen, when the spaces-of-windows function is missing).
std::unordered_set<std::int32_t>
windowOwnerPIDs(const std::optional<Value>& windowList,
                const std::optional<WindowServer::SpacesForWindows>& spacesForWindows,
                std::int32_t connection);

} // namespace tidemark
