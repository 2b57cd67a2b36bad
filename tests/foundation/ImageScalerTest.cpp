#include "foundation/ImageScaler.h"

#include <gtest/gtest.h>

namespace tidemark {
namespace {

Bitmap solid(int width, int height, std::array<std::uint8_t, 4> rgba) {
    Bitmap bitmap{width, height, {}};
    for (int i = 0; i < width * height; ++i)
        bitmap.rgba.insert(bitmap.rgba.end(), rgba.begin(), rgba.end());
    return bitmap;
}

std::array<int, 4> pixel(const Image& image, int x, int y) {
    const auto& b = *image.bitmap();
    const auto* p = &b.rgba[(std::size_t(y) * b.width + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}

TEST(BitmapImageScaler, ScalesUpAndDownKeepingColourAndName) {
    const BitmapImageScaler scaler;
    const auto small = Image::fromBitmap({4, 4}, solid(4, 4, {10, 20, 30, 255}), "app:Alpha");
    const auto up = scaler.scaled(*small, {36, 36});
    ASSERT_NE(up, nullptr);
    EXPECT_EQ(up->size(), (Size{36, 36}));
    EXPECT_EQ(up->bitmap()->width, 36);
    EXPECT_EQ(up->bitmap()->height, 36);
    EXPECT_EQ(up->bitmap()->rgba.size(), 36u * 36u * 4u);
    EXPECT_EQ(up->name(), "app:Alpha");
    EXPECT_EQ(pixel(*up, 0, 0), (std::array<int, 4>{10, 20, 30, 255}));
    EXPECT_EQ(pixel(*up, 35, 35), (std::array<int, 4>{10, 20, 30, 255}));

    // Left half opaque red, right half clear: averaging keeps the halves apart and blends
    // the column that straddles them.
    Bitmap split = solid(128, 128, {0, 0, 0, 0});
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 64; ++x) {
            split.rgba[(y * 128 + x) * 4] = 255;
            split.rgba[(y * 128 + x) * 4 + 3] = 255;
        }
    const auto down = scaler.scaled(*Image::fromBitmap({128, 128}, split), {36, 36});
    ASSERT_NE(down, nullptr);
    EXPECT_EQ(pixel(*down, 0, 10), (std::array<int, 4>{255, 0, 0, 255}));
    EXPECT_EQ(pixel(*down, 17, 10), (std::array<int, 4>{255, 0, 0, 255}));
    EXPECT_EQ(pixel(*down, 18, 10), (std::array<int, 4>{0, 0, 0, 0}));
    EXPECT_EQ(pixel(*down, 35, 35), (std::array<int, 4>{0, 0, 0, 0}));

    const auto blend = scaler.scaled(*Image::fromBitmap({3, 1},
                                                        [] {
                                                            Bitmap b = solid(3, 1, {0, 0, 0, 0});
                                                            b.rgba[3] = 255;
                                                            return b;
                                                        }()),
                                     {2, 1});
    ASSERT_NE(blend, nullptr);
    // Output pixel 0 covers source pixel 0 and half of pixel 1: alpha 255 * 1 / 1.5.
    EXPECT_EQ(pixel(*blend, 0, 0)[3], 170);
    EXPECT_EQ(pixel(*blend, 1, 0)[3], 0);
}

TEST(BitmapImageScaler, RefusesWhatItCannotRedraw) {
    const BitmapImageScaler scaler;
    const auto drawn = Image::drawn({16, 16}, false, [](Canvas&, Rect) {});
    EXPECT_EQ(scaler.scaled(*drawn, {36, 36}), nullptr);
    EXPECT_EQ(scaler.scaled(*Image::fromBitmap({4, 4}, Bitmap{4, 4, {1, 2, 3}}), {36, 36}),
              nullptr);
    EXPECT_EQ(scaler.scaled(*Image::fromBitmap({0, 0}, Bitmap{}), {36, 36}), nullptr);
    EXPECT_EQ(scaler.scaled(*Image::fromBitmap({4, 4}, solid(4, 4, {1, 1, 1, 1})), {0, 36}),
              nullptr);
}

} // namespace
} // namespace tidemark
