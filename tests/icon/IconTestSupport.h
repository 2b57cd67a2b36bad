#pragma once

#include "foundation/Geometry.h"
#include "foundation/Image.h"
#include "spaces/Space.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tidemark::testing {

// Layout figures are fractions of points: equal to a hundredth.
constexpr double kTolerance = 0.01;

inline void expectRect(const Rect& actual, Rect expected) {
    EXPECT_NEAR(actual.minX(), expected.minX(), kTolerance);
    EXPECT_NEAR(actual.minY(), expected.minY(), kTolerance);
    EXPECT_NEAR(actual.width(), expected.width(), kTolerance);
    EXPECT_NEAR(actual.height(), expected.height(), kTolerance);
}

inline Space makeSpace(std::string displayID, std::string spaceID, std::int64_t number,
                       bool current = false, bool fullScreen = false) {
    Space space;
    space.displayID = std::move(displayID);
    space.spaceID = std::move(spaceID);
    space.spaceNumber = number;
    space.spaceName = "Desktop " + std::to_string(number);
    space.isCurrentSpace = current;
    space.isFullScreen = fullScreen;
    return space;
}

// A square bitmap of one opaque colour, as a synthetic app icon.
inline ImageRef solidIcon(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                          int pixels = 32) {
    Bitmap bitmap;
    bitmap.width = pixels;
    bitmap.height = pixels;
    for (int i = 0; i < pixels * pixels; ++i)
        bitmap.rgba.insert(bitmap.rgba.end(), {red, green, blue, 255});
    return Image::fromBitmap({16, 16}, std::move(bitmap), "solid");
}

inline std::vector<ImageRef> icons(int count) {
    std::vector<ImageRef> result;
    for (int i = 0; i < count; ++i)
        result.push_back(solidIcon(static_cast<std::uint8_t>(40 * i), 120, 200));
    return result;
}

} // namespace tidemark::testing
