#include "statusbar/HitTest.h"

#include <gtest/gtest.h>

namespace tidemark {
namespace {

using Rects = std::map<std::string, Rect, std::less<>>;
using ID = std::optional<std::string>;

// Two displays of 18-point glyphs: 2.5 between spaces, 7.5 at the display change, and a
// blank 2.5 at the right end of the image.
const Rects kTwoDisplays{{"a", {0, 0, 18, 12}}, {"b", {20.5, 0, 18, 12}}, {"c", {46, 0, 18, 12}}};
const Size kTwoDisplaysSize{66.5, 12};

TEST(HitTest, DirectHitsAndTheNearestGlyphWithinReach) {
    const Rect image{0, 0, kTwoDisplaysSize.width, kTwoDisplaysSize.height};
    const struct {
        const char* what;
        Point point;
        ID expected;
    } cases[] = {
        {"on a glyph", {5, 6}, "a"},
        {"in the gap, nearer the left glyph", {19, 6}, "a"},
        {"in the gap, nearer the right glyph", {20, 6}, "b"},
        {"in the gap at equal distance: the first met stays", {19.25, 6}, "a"},
        {"in the display gap, within reach of the left glyph", {40, 6}, "b"},
        {"in the blank right end", {65, 6}, "c"},
        {"right of the image", {67, 6}, std::nullopt},
        {"left of the image", {-0.5, 6}, std::nullopt},
        {"below the image", {5, 12.5}, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(hitTestSpace(c.point, kTwoDisplaysSize, image, kTwoDisplays), c.expected)
            << c.what;
}

TEST(HitTest, ReachIsHalfTheWidthPlusFourButAtLeastEight) {
    // Narrow glyphs far apart: the reach of a 4-point glyph is 8, of a 30-point one 19.
    const Rects rects{{"narrow", {0, 0, 4, 10}}, {"wide", {100, 0, 30, 10}}};
    const Size size{200, 10};
    const Rect image{0, 0, 200, 10};
    const struct {
        double x;
        ID expected;
    } cases[] = {{10, "narrow"},       {10.5, std::nullopt}, {96, "wide"},
                 {95.5, std::nullopt}, {134, "wide"},        {134.5, std::nullopt}};
    for (const auto& c : cases)
        EXPECT_EQ(hitTestSpace({c.x, 5}, size, image, rects), c.expected) << c.x;
}

TEST(HitTest, EitherVerticalReadingOfThePointHits) {
    // A glyph covering only the upper third of the image (origin at the lower left): a point
    // near the button's top hits it read from the top or from the bottom.
    const Rects rects{{"top", {0, 8, 18, 4}}, {"far", {100, 0, 18, 12}}};
    const Size size{120, 12};
    const Rect image{0, 0, 120, 12};
    EXPECT_EQ(hitTestSpace({5, 1}, size, image, rects), "top");  // read from the bottom: 11
    EXPECT_EQ(hitTestSpace({5, 10}, size, image, rects), "top"); // read from the top: 10
    // Neither reading is inside, and only the horizontal distance decides then.
    EXPECT_EQ(hitTestSpace({5, 6}, size, image, rects), "top");
}

TEST(HitTest, PointsAreScaledFromTheImageRectangleIntoTheImage) {
    // The cell draws the image at half size, 10 points from the button's left edge.
    const Rect image{10, 0, kTwoDisplaysSize.width / 2, kTwoDisplaysSize.height / 2};
    EXPECT_EQ(hitTestSpace({12, 3}, kTwoDisplaysSize, image, kTwoDisplays), "a");
    EXPECT_EQ(hitTestSpace({10 + 25 / 2.0, 3}, kTwoDisplaysSize, image, kTwoDisplays), "b");
    EXPECT_EQ(hitTestSpace({10 + 50 / 2.0, 3}, kTwoDisplaysSize, image, kTwoDisplays), "c");
    EXPECT_EQ(hitTestSpace({9, 3}, kTwoDisplaysSize, image, kTwoDisplays), std::nullopt);
    // A rectangle of no width does not divide by zero.
    EXPECT_EQ(hitTestSpace({10, 0}, kTwoDisplaysSize, Rect{10, 0, 0, 0}, kTwoDisplays),
              std::nullopt);
}

TEST(HitTest, OnlyCountedSpacesTakePartInEitherStep) {
    const Rect image{0, 0, kTwoDisplaysSize.width, kTwoDisplaysSize.height};
    const auto withoutB = [](const std::string& id) { return id != "b"; };
    EXPECT_EQ(hitTestSpace({25, 6}, kTwoDisplaysSize, image, kTwoDisplays, withoutB), std::nullopt)
        << "on the glyph of a space that is gone, and too far from the others";
    EXPECT_EQ(hitTestSpace({19.5, 6}, kTwoDisplaysSize, image, kTwoDisplays, withoutB), "a")
        << "the nearest remaining glyph wins the gap";
    EXPECT_EQ(hitTestSpace({5, 6}, kTwoDisplaysSize, image, kTwoDisplays,
                           [](const std::string&) { return false; }),
              std::nullopt);
}

TEST(HitTest, ImageIsCentredWhenNoCellDecides) {
    EXPECT_EQ(imageRectInButton({60, 12}, {0, 0, 80, 22}, std::nullopt), Rect(10, 5, 60, 12));
    EXPECT_EQ(imageRectInButton({60, 12}, {0, 0, 80, 22}, Rect{1, 2, 3, 4}), Rect(1, 2, 3, 4));
}

} // namespace
} // namespace tidemark
