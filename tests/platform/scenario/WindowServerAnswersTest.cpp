#include "platform/scenario/WindowServerAnswers.h"

#include "foundation/ValueJson.h"

#include <gtest/gtest.h>

namespace tidemark::sim {
namespace {

Value json(std::string_view text) {
    return valueFromJson(parseJson(text));
}

// A scenario's space: the window manager's number and name are never given.
DisplaySpace space(SpaceId id, SpaceKind kind, std::optional<std::int32_t> owner) {
    DisplaySpace result;
    result.id = id;
    result.kind = kind;
    result.fullScreenOwner = owner;
    return result;
}

TEST(WindowServerAnswers, DisplaysOfTheWrongShapeDropOutAndTheRestKeepTheirOrder) {
    const auto displays = readDisplays(json(R"([
      {"Display Identifier": "A", "Current Space": {"ManagedSpaceID": 2},
       "Spaces": [{"ManagedSpaceID": 1}, {}, {"ManagedSpaceID": "3"}, {"ManagedSpaceID": 2.0},
                  {"ManagedSpaceID": 2, "TileLayoutManager": {}, "pid": 44},
                  {"ManagedSpaceID": 5, "TileLayoutManager": [], "pid": 45},
                  {"ManagedSpaceID": 6, "TileLayoutManager": {}, "pid": 4294967296}]},
      {"Current Space": {"ManagedSpaceID": 9}, "Spaces": [{"ManagedSpaceID": 9}]},
      {"Display Identifier": 7, "Current Space": {"ManagedSpaceID": 9}, "Spaces": []},
      {"Display Identifier": "C", "Current Space": [], "Spaces": []},
      {"Display Identifier": "D", "Current Space": {"ManagedSpaceID": 9}, "Spaces": [1]},
      {"Display Identifier": "E", "Current Space": {}, "Spaces": []},
      {"Display Identifier": "F", "Current Space": {"ManagedSpaceID": 8}, "Spaces": []}])"));
    ASSERT_TRUE(displays);
    const std::vector<Display> expected{
        {.identifier = "A",
         .currentSpace = 2,
         .spaces = {space(1, SpaceKind::Desktop, std::nullopt), space(2, SpaceKind::FullScreen, 44),
                    space(5, SpaceKind::Desktop, std::nullopt),
                    space(6, SpaceKind::FullScreen, std::nullopt)}},
        {.identifier = "F", .currentSpace = 8, .spaces = {}}};
    EXPECT_EQ(*displays, expected);
}

TEST(WindowServerAnswers, NoDisplayAnswerOrOneBetweenConfigurationsIsNone) {
    for (const char* answer :
         {"null", R"({"Display Identifier": "A"})", R"([{"Display Identifier": "A"}, 5])",
          R"([{"Display Identifier": "A", "Current Space": {"ManagedSpaceID": 1},
               "Spaces": [{"ManagedSpaceID": 1}]},
              {"Display Identifier": "B", "Current Space": {"ManagedSpaceID": -1},
               "Spaces": []}])"}) {
        const Value value = json(answer);
        EXPECT_FALSE(readDisplays(value.isNull() ? std::nullopt : std::optional<Value>(value)))
            << answer;
    }
    // A malformed display with -1 is only malformed.
    EXPECT_TRUE(readDisplays(json(R"([{"Current Space": {"ManagedSpaceID": -1}, "Spaces": []}])")));
}

TEST(WindowServerAnswers, WindowFactsOfTheWrongTypeAreAbsent) {
    const auto list = readWindows(json(R"([
      {"kCGWindowNumber": 1, "kCGWindowOwnerPID": 10, "kCGWindowLayer": 0, "kCGWindowAlpha": 1,
       "kCGWindowBounds": {"Width": 80, "Height": 60.5}, "kCGWindowIsOnscreen": true,
       "spaces": [3, "4", 5.0]},
      {"kCGWindowNumber": "2", "kCGWindowOwnerPID": 4294967296, "kCGWindowLayer": 0.0,
       "kCGWindowAlpha": "opaque", "kCGWindowBounds": {"Width": 80},
       "kCGWindowIsOnscreen": "true", "spaces": [3]},
      {"kCGWindowNumber": 3, "kCGWindowLayer": "0", "kCGWindowBounds": [80, 60], "spaces": 3},
      "not a window",
      {"kCGWindowNumber": 1, "spaces": [9]}])"),
                                  true);
    ASSERT_TRUE(list);
    EXPECT_FALSE(list->allEntriesReadable);
    ASSERT_EQ(list->windows.size(), 4u);
    const WindowInfo full{.number = 1,
                          .ownerPid = 10,
                          .layer = WindowLayer{0, true},
                          .alpha = 1.0,
                          .size = Size{80, 60.5},
                          .onScreen = true,
                          .spaces = {3, std::nullopt, std::nullopt}};
    EXPECT_EQ(list->windows[0], full);
    const WindowInfo malformed{.number = std::nullopt,
                               .ownerPid = std::nullopt,
                               .layer = WindowLayer{0, false},
                               .alpha = std::nullopt,
                               .size = std::nullopt,
                               .onScreen = false,
                               .spaces = {}};
    EXPECT_EQ(list->windows[1], malformed);
    EXPECT_FALSE(list->windows[2].layer);
    EXPECT_FALSE(list->windows[2].size);
    EXPECT_TRUE(list->windows[2].spaces.empty());
    // The spaces are asked for by number: the first window of a number answers for both.
    EXPECT_EQ(list->windows[3].spaces, list->windows[0].spaces);
}

TEST(WindowServerAnswers, WithoutTheSpacesQueryNoWindowHasSpaces) {
    const auto list = readWindows(json(R"([{"kCGWindowNumber": 1, "spaces": [3]}])"), false);
    ASSERT_TRUE(list);
    EXPECT_FALSE(list->spacesKnown);
    EXPECT_TRUE(list->windows[0].spaces.empty());
    EXPECT_FALSE(readWindows(std::nullopt, true));
    EXPECT_FALSE(readWindows(json(R"({"kCGWindowNumber": 1})"), true));
}

} // namespace
} // namespace tidemark::sim
