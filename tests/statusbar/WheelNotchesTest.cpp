#include "statusbar/WheelNotches.h"

#include <gtest/gtest.h>
#include <vector>

namespace tidemark {
namespace {

TEST(WheelNotches, PartsAddUpToWholeNotchesAndATurnBackDropsThem) {
    const struct {
        const char* name;
        double perNotch;
        std::vector<double> deltas;
        std::vector<int> notches;
    } cases[] = {
        {"whole notches", 120, {120, 240, -120}, {1, 2, -1}},
        {"parts of one", 120, {40, 40, 40, 40}, {0, 0, 1, 0}},
        {"a turn back drops the part", 120, {100, -30, -100}, {0, 0, -1}},
        {"a remainder carries", 120, {150, 100}, {1, 1}},
        {"touchpad units", 10, {4, 4, 4, -2}, {0, 0, 1, 0}},
    };
    for (const auto& c : cases) {
        WheelNotches wheel(c.perNotch);
        std::vector<int> got;
        for (const double delta : c.deltas)
            got.push_back(wheel.add(delta));
        EXPECT_EQ(got, c.notches) << c.name;
    }
}

TEST(WheelNotches, APartDoesNotOutliveTheVisit) {
    WheelNotches wheel(120);
    EXPECT_EQ(wheel.add(100), 0);
    wheel.reset();
    EXPECT_EQ(wheel.add(100), 0);
    EXPECT_EQ(wheel.add(20), 1);
}

} // namespace
} // namespace tidemark
