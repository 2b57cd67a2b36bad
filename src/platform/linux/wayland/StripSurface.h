#pragma once

#include "foundation/Geometry.h"

#include <cstdint>
#include <optional>

namespace tidemark::linux_platform::wayland {

// The strip on a Wayland desktop is a layer surface anchored to the top, left and right edges
// of its output, as tall as the bar, whose exclusive zone is that height: windows keep out of
// its band as they do of the X11 dock's strut. The button is the surface's right end.

// Surface-local (logical) pixels.
struct SurfaceSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const SurfaceSize&, const SurfaceSize&) = default;
};

// The size a layer surface's configure event leaves the surface: each side the compositor
// sets (nonzero), else the side the strip asked for. Nothing for a side beyond
// `kMaxSurfaceSide` or below zero: no output is that large, so the event is not believed.
std::optional<SurfaceSize> configuredSize(std::uint32_t width, std::uint32_t height,
                                          SurfaceSize asked);
inline constexpr int kMaxSurfaceSide = 16384;

// A shared-memory buffer for a surface of `surface` logical pixels at an integer output
// `scale` (below 1 counts as 1): its pixel size and its stride in bytes at 4 bytes a pixel.
// Nothing for an empty surface or one whose buffer would pass `kMaxBufferBytes`.
struct BufferSize {
    int width = 0;
    int height = 0;
    int stride = 0;
    std::size_t bytes() const { return std::size_t(stride) * std::size_t(height); }
    friend bool operator==(const BufferSize&, const BufferSize&) = default;
};
std::optional<BufferSize> bufferSize(SurfaceSize surface, int scale);
inline constexpr std::size_t kMaxBufferBytes = std::size_t(256) << 20;

// The button's rectangle in surface coordinates: the right end of the surface, `buttonWidth`
// wide (all of it when narrower), the whole height.
Rect buttonRect(SurfaceSize surface, double buttonWidth);

} // namespace tidemark::linux_platform::wayland
