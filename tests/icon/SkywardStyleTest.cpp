#include "icon/SkywardStyle.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

namespace tidemark {
namespace {

TEST(SkywardStyleTest, RawValuesRoundTripAndGapsGiveNoStyle) {
    for (const auto style : kAllSkywardStyles)
        EXPECT_EQ(skywardStyleFromRawValue(rawValue(style)), style);
    EXPECT_EQ(skywardStyleFromRawValue(3), std::nullopt);
    EXPECT_EQ(skywardStyleFromRawValue(5), std::nullopt);
    EXPECT_EQ(skywardStyleFromRawValue(-1), std::nullopt);
}

// The menus list every style there is, by raw value.
TEST(SkywardStyleTest, EveryStyleIsListedInRawValueOrder) {
    std::vector<SkywardStyle> parsed;
    for (std::int64_t raw = -1; raw <= 8; ++raw)
        if (const auto style = skywardStyleFromRawValue(raw))
            parsed.push_back(*style);
    EXPECT_EQ(parsed,
              std::vector<SkywardStyle>(kAllSkywardStyles.begin(), kAllSkywardStyles.end()));
}

} // namespace
} // namespace tidemark
