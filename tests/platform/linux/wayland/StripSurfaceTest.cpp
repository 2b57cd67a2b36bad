#include "platform/linux/wayland/StripSurface.h"

#include <gtest/gtest.h>

namespace tidemark::linux_platform::wayland {
namespace {

TEST(StripSurface, AConfigureKeepsTheSidesTheCompositorLeavesToTheStrip) {
    const SurfaceSize asked{0, 24};
    const struct {
        std::uint32_t width, height;
        std::optional<SurfaceSize> size;
    } cases[] = {
        {1280, 24, SurfaceSize{1280, 24}},
        {1280, 0, SurfaceSize{1280, 24}},  // the height is the strip's
        {0, 0, SurfaceSize{0, 24}},        // no width yet: nothing to draw
        {1920, 30, SurfaceSize{1920, 30}}, // the compositor's height wins
        {16384, 24, SurfaceSize{16384, 24}},
        {16385, 24, std::nullopt}, // no output is that wide
        {0xffffffffu, 24, std::nullopt},
        {1280, 0x80000000u, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(configuredSize(c.width, c.height, asked), c.size) << c.width << " x " << c.height;
}

TEST(StripSurface, TheBufferHasTheOutputsPixelsAndNeverOverflows) {
    const struct {
        SurfaceSize surface;
        int scale;
        std::optional<BufferSize> buffer;
    } cases[] = {
        {{1280, 24}, 1, BufferSize{1280, 24, 5120}},
        {{1280, 24}, 2, BufferSize{2560, 48, 10240}},
        {{1280, 24}, 3, BufferSize{3840, 72, 15360}},
        {{1280, 24}, 0, BufferSize{1280, 24, 5120}}, // a scale below 1 is 1
        {{1280, 24}, -2, BufferSize{1280, 24, 5120}},
        {{0, 24}, 1, std::nullopt},
        {{1280, 0}, 2, std::nullopt},
        {{16384, 16384}, 1, std::nullopt},                // 1 GiB
        {{16384, 24}, 1 << 30, std::nullopt},             // wraps an int, not the check
        {{8192, 8192}, 1, BufferSize{8192, 8192, 32768}}, // 256 MiB, the most there is
    };
    for (const auto& c : cases)
        EXPECT_EQ(bufferSize(c.surface, c.scale), c.buffer)
            << c.surface.width << " x " << c.surface.height << " at " << c.scale;
}

TEST(StripSurface, TheButtonIsTheRightEndOfTheSurface) {
    EXPECT_EQ(buttonRect({1280, 24}, 80), (Rect{1200, 0, 80, 24}));
    // Narrower than the button: all of the surface.
    EXPECT_EQ(buttonRect({50, 24}, 80), (Rect{0, 0, 50, 24}));
    EXPECT_EQ(buttonRect({0, 24}, 80), (Rect{0, 0, 0, 24}));
}

} // namespace
} // namespace tidemark::linux_platform::wayland
