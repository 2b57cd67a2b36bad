#include "platform/linux/x11/DockPlacement.h"

#include "platform/linux/x11/DesktopModel.h"

#include <gtest/gtest.h>

namespace tidemark::linux_platform {
namespace {

TEST(DockPlacement, ReadsTheActiveOutputsOfI3AndSkipsMalformedOnes) {
    const auto outputs = nlohmann::json::parse(R"([
      {"name": "xroot-0", "active": false, "primary": false,
       "rect": {"x": 0, "y": 0, "width": 2048, "height": 768}},
      {"name": "fake-0", "active": true, "primary": false,
       "rect": {"x": 0, "y": 0, "width": 1024, "height": 768}},
      {"name": "fake-1", "active": true, "primary": true,
       "rect": {"x": 1024, "y": 0, "width": 1024, "height": 768}},
      {"name": "broken", "active": true, "rect": {"x": "0", "y": 0, "width": 10, "height": 10}},
      {"name": "empty", "active": true, "rect": {"x": 0, "y": 0, "width": 0, "height": 10}},
      {"active": true, "rect": {"x": 0, "y": 0, "width": 10, "height": 10}},
      {"name": "said-yes", "active": "yes", "primary": 1,
       "rect": {"x": 0, "y": 0, "width": 10, "height": 10}},
      "nonsense"
    ])");
    const auto geometry = i3OutputGeometry(outputs);
    ASSERT_EQ(geometry.size(), 2u);
    EXPECT_EQ(geometry[0].name, "fake-0");
    EXPECT_EQ(geometry[1].rect, (Rect{1024, 0, 1024, 768}));
    EXPECT_TRUE(geometry[1].primary);
    EXPECT_TRUE(i3OutputGeometry(nlohmann::json::object()).empty());

    auto many = nlohmann::json::array();
    for (int i = 0; i < 1500; ++i)
        many.push_back({{"name", "o" + std::to_string(i)},
                        {"active", true},
                        {"rect", {{"x", i}, {"y", 0}, {"width", 1}, {"height", 1}}}});
    EXPECT_EQ(i3OutputGeometry(many).size(), desktop::kMaxDesktopItems);
}

TEST(DockPlacement, TopOfThePrimaryOutputSpanningUnderI3AndAtTheRightEndElsewhere) {
    const OutputGeometry left{"left", {0, 0, 1024, 768}, false};
    const OutputGeometry right{"right", {1024, 0, 1280, 1024}, true};
    const Rect screen{0, 0, 2304, 1024};
    struct Case {
        const char* name;
        std::vector<OutputGeometry> outputs;
        double width;
        bool spans;
        DockPlacement expected;
    };
    const OutputGeometry noPrimary{"r", right.rect, false};
    const std::vector<Case> cases{
        {"i3, primary second", {left, right}, 120, true, {right.rect, {1024, 0, 1280, 24}, {}}},
        {"i3, no primary", {left, noPrimary}, 120, true, {left.rect, {0, 0, 1024, 24}, {}}},
        {"ewmh, screen", {}, 120, false, {screen, {2184, 0, 120, 24}, TopStrut{24, 2184, 2303}}},
        {"ewmh, primary output",
         {left, right},
         100.5,
         false,
         {right.rect, {2203.5, 0, 100.5, 24}, TopStrut{24, 2204, 2303}}},
        {"too wide", {left}, 5000, false, {left.rect, {0, 0, 1024, 24}, TopStrut{24, 0, 1023}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto placement = placeDock(c.outputs, screen, c.width, 24, c.spans);
        EXPECT_EQ(placement.output, c.expected.output);
        EXPECT_EQ(placement.window, c.expected.window);
        EXPECT_EQ(placement.strut, c.expected.strut);
    }
}

TEST(DockPlacement, AMenuStaysOnTheStripsOutput) {
    const Rect first{0, 0, 1024, 768};
    const Rect second{1024, 0, 1024, 768};
    const Size menu{240, 180};
    struct Case {
        const char* name;
        Rect output;
        Point wanted;
        Size size;
        Point expected;
    };
    const std::vector<Case> cases{
        {"fits", first, {400, 29}, menu, {400, 29}},
        {"past the right edge, onto the next output", first, {900, 29}, menu, {784, 29}},
        {"second output's right edge", second, {2000, 29}, menu, {1808, 29}},
        {"left of the output", second, {1000, 29}, menu, {1024, 29}},
        {"past the bottom", first, {10, 700}, menu, {10, 588}},
        {"larger than the output keeps its top left on it", first, {500, 29}, {2000, 900}, {0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(placeMenu(c.output, c.wanted, c.size), c.expected) << c.name;
}

} // namespace
} // namespace tidemark::linux_platform
