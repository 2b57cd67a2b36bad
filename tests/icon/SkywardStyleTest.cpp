#include "icon/SkywardStyle.h"

#include <gtest/gtest.h>

namespace tidemark {
namespace {

TEST(SkywardStyleTest, RawValuesRoundTripAndGapsGiveNoStyle) {
    for (const auto style : kAllSkywardStyles)
        EXPECT_EQ(skywardStyleFromRawValue(rawValue(style)), style);
    EXPECT_EQ(rawValue(SkywardStyle::none), 0);
    EXPECT_EQ(rawValue(SkywardStyle::numbers), 1);
    EXPECT_EQ(rawValue(SkywardStyle::numbersAndRects), 2);
    EXPECT_EQ(rawValue(SkywardStyle::openedApps), 4);
    EXPECT_EQ(skywardStyleFromRawValue(3), std::nullopt);
    EXPECT_EQ(skywardStyleFromRawValue(5), std::nullopt);
    EXPECT_EQ(skywardStyleFromRawValue(-1), std::nullopt);
}

TEST(SkywardStyleTest, IteratesInMenuOrderWithLabels) {
    const std::array expected{SkywardStyle::none, SkywardStyle::numbers,
                              SkywardStyle::numbersAndRects, SkywardStyle::openedApps};
    EXPECT_EQ(kAllSkywardStyles, expected);
    EXPECT_EQ(label(SkywardStyle::none), "Rectangles");
    EXPECT_EQ(label(SkywardStyle::numbers), "Numbers");
    EXPECT_EQ(label(SkywardStyle::numbersAndRects), "Rectangles with numbers");
    EXPECT_EQ(label(SkywardStyle::openedApps), "Opened apps");
}

} // namespace
} // namespace tidemark
