#include "main/bars/BarLabels.h"

#include <gtest/gtest.h>

namespace tidemark::cli::bars {
namespace {

Space space(std::string display, std::string id, std::int64_t number, bool current = false) {
    Space s;
    s.displayID = std::move(display);
    s.spaceID = std::move(id);
    s.spaceNumber = number;
    s.isCurrentSpace = current;
    return s;
}

TEST(BarLabels, TheWindowManagersNameElseItsNumberElseTheSpacesOnOneLine) {
    const struct {
        const char* name;
        std::optional<std::int64_t> wmNumber;
        std::optional<std::string> wmName;
        std::string label;
    } cases[] = {
        {"the space's number", std::nullopt, std::nullopt, "7"},
        {"the window manager's number", 3, std::nullopt, "3"},
        {"its name over its number", 3, "web", "web"},
        {"a name alone", std::nullopt, "mail", "mail"},
        {"line breaks and tabs", std::nullopt, "a\nb\tc\x7f", "a b c "},
        {"cut to 24 characters", 1, std::string(30, 'x'), std::string(23, 'x') + "…"},
        {"24 characters stay", 1, "ünïcödé-ünïcödé-ünïcödé!", "ünïcödé-ünïcödé-ünïcödé!"},
    };
    for (const auto& c : cases) {
        auto s = space("A", "1", 7);
        s.wmNumber = c.wmNumber;
        s.wmName = c.wmName;
        EXPECT_EQ(labelText(s), c.label) << c.name;
    }
}

TEST(BarLabels, DisplaysInOrderOrTheOneNamedWithTheirSpacesAndApps) {
    auto spaces =
        std::vector{space("L", "1", 1), space("L", "2", 2, true), space("R", "3", 3, true)};
    spaces[0].isUrgent = true;
    spaces[0].appDetails = {{"xterm", nullptr, "xterm", 10}, {"Fire\nfox", nullptr, "ff", 11}};
    const auto all = barDisplays(spaces);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].identifier, "L");
    EXPECT_EQ(all[0].labels, (std::vector<BarLabel>{{"1", "1", false, true, {"xterm", "Fire fox"}},
                                                    {"2", "2", true, false, {}}}));
    EXPECT_EQ(all[1].labels, (std::vector<BarLabel>{{"3", "3", true, false, {}}}));
    const auto right = barDisplays(spaces, "R");
    ASSERT_EQ(right.size(), 1u);
    EXPECT_EQ(right[0], all[1]);
    EXPECT_TRUE(barDisplays(spaces, "gone").empty());
}

TEST(BarLabels, TheWheelStepsToTheNeighboursOfTheCurrentSpaceAndStopsAtTheEnds) {
    const auto steps = [](std::size_t current, std::size_t count) {
        BarDisplay display{"A", {}};
        for (std::size_t i = 0; i < count; ++i)
            display.labels.push_back({std::to_string(i + 1), "", i == current, false, {}});
        return scrollSteps(display);
    };
    EXPECT_EQ(steps(0, 3), (ScrollSteps{std::nullopt, "2"}));
    EXPECT_EQ(steps(1, 3), (ScrollSteps{"1", "3"}));
    EXPECT_EQ(steps(2, 3), (ScrollSteps{"2", std::nullopt}));
    EXPECT_EQ(steps(0, 1), (ScrollSteps{}));
    EXPECT_EQ(steps(5, 3), (ScrollSteps{})) << "no current space";
}

} // namespace
} // namespace tidemark::cli::bars
