#include "platform/linux/wayland/StripSurface.h"

#include <algorithm>

namespace tidemark::linux_platform::wayland {

std::optional<SurfaceSize> configuredSize(std::uint32_t width, std::uint32_t height,
                                          SurfaceSize asked) {
    if (width > std::uint32_t(kMaxSurfaceSide) || height > std::uint32_t(kMaxSurfaceSide))
        return std::nullopt;
    return SurfaceSize{width ? int(width) : asked.width, height ? int(height) : asked.height};
}

std::optional<BufferSize> bufferSize(SurfaceSize surface, int scale) {
    scale = std::max(scale, 1);
    if (surface.width <= 0 || surface.height <= 0)
        return std::nullopt;
    const std::size_t width = std::size_t(surface.width) * std::size_t(scale);
    const std::size_t height = std::size_t(surface.height) * std::size_t(scale);
    // Both factors fit in 31 bits, so neither product wraps before the check.
    if (width > kMaxBufferBytes / 4 || height > kMaxBufferBytes / (4 * width))
        return std::nullopt;
    return BufferSize{int(width), int(height), int(width * 4)};
}

Rect buttonRect(SurfaceSize surface, double buttonWidth) {
    const double width = std::clamp(buttonWidth, 0.0, double(std::max(surface.width, 0)));
    return Rect{surface.width - width, 0, width, double(surface.height)};
}

} // namespace tidemark::linux_platform::wayland
