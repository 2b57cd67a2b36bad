#include "platform/linux/x11/DesktopModel.h"

#include "platform/linux/i3/I3Ipc.h"

#include <gtest/gtest.h>

namespace tidemark::linux_platform::desktop {
namespace {

using nlohmann::json;

// A tree as the window server parses i3's answer: only the members the reader keeps.
json treeAnswer(std::string_view text) {
    return i3::parseReplyPayload(text, kI3TreeMembers).value();
}

std::vector<SpaceId> spaceIds(const Display& display) {
    std::vector<SpaceId> ids;
    for (const auto& space : display.spaces) {
        EXPECT_EQ(space.kind, SpaceKind::Desktop);
        ids.push_back(space.id);
    }
    return ids;
}

TEST(I3DisplaySpaces, OneDisplayPerActiveOutputWithItsWorkspacesAndVisibleCurrent) {
    const auto outputs = json::parse(R"([
        {"name": "xroot-0", "active": false},
        {"name": "right", "active": true},
        {"name": "left", "active": true},
        {"name": 7, "active": true},
        {"name": "empty", "active": true}
    ])");
    const auto workspaces = json::parse(R"([
        {"id": 11, "name": "1", "output": "left", "visible": false, "urgent": true},
        {"id": 12, "name": "2", "output": "left", "visible": true, "urgent": "yes"},
        {"id": "13", "name": "3", "output": "left", "visible": false},
        {"id": 21, "name": "4", "output": "right", "visible": true},
        {"id": 22, "name": "5", "output": "right", "visible": false},
        {"id": 31, "name": "6", "output": "gone", "visible": true},
        "nonsense"
    ])");
    const auto displays = i3DisplaySpaces(workspaces, outputs);
    // Output order of get_outputs; inactive and nameless outputs are not displays, nor is one
    // that shows no workspace: it has no current space.
    ASSERT_EQ(displays.size(), 2u);
    EXPECT_EQ(displays[0].identifier, "right");
    EXPECT_EQ(spaceIds(displays[0]), (std::vector<SpaceId>{21, 22}));
    EXPECT_EQ(displays[0].currentSpace, 21);
    EXPECT_EQ(displays[1].identifier, "left");
    // A workspace whose id is not an integer is left out.
    EXPECT_EQ(spaceIds(displays[1]), (std::vector<SpaceId>{11, 12}));
    EXPECT_EQ(displays[1].currentSpace, 12);
    // Only i3's own true makes a workspace urgent.
    EXPECT_TRUE(displays[1].spaces[0].isUrgent);
    EXPECT_FALSE(displays[1].spaces[1].isUrgent);
    EXPECT_FALSE(displays[0].spaces[0].isUrgent);

    EXPECT_TRUE(i3DisplaySpaces(workspaces, json::object()).empty());
    EXPECT_TRUE(i3DisplaySpaces(json(nullptr), outputs).empty());
}

TEST(I3Tree, WindowsAtAnyDepthFloatingStickyAndOnTheScratchpad) {
    const auto tree = treeAnswer(R"({
      "type": "root", "nodes": [
        {"type": "output", "name": "__i3", "nodes": [
          {"type": "con", "nodes": [
            {"type": "workspace", "id": 1, "name": "__i3_scratch",
             "floating_nodes": [{"type": "floating_con", "nodes": [{"window": 500}]},
                                {"type": "floating_con", "nodes": [{"window": 501, "sticky": true}]}]}]}]},
        {"type": "output", "name": "left", "nodes": [
          {"type": "con", "name": "content", "nodes": [
            {"type": "workspace", "id": 10, "name": "1", "nodes": [
              {"type": "con", "window": 100},
              {"type": "con", "layout": "splitv", "nodes": [
                {"type": "con", "window": 101}, {"type": "con", "window": "bogus"}]}],
             "floating_nodes": [
              {"type": "floating_con", "nodes": [{"type": "con", "window": 102, "sticky": true}]}]},
            {"type": "workspace", "id": 20, "name": "2", "nodes": [{"type": "con", "window": 200}]}
          ]},
          {"type": "dockarea", "nodes": [{"type": "con", "window": 900}]}]}
      ]})");
    const auto spaces = i3Tree(tree).windowSpaces;
    EXPECT_EQ(spaces.at(100), std::vector<std::int64_t>{10});
    EXPECT_EQ(spaces.at(101), std::vector<std::int64_t>{10});
    EXPECT_EQ(spaces.at(200), std::vector<std::int64_t>{20});
    EXPECT_EQ(spaces.at(102), (std::vector<std::int64_t>{10, 20}));
    // Scratchpad windows are on the scratchpad only, sticky or not: a workspace that no
    // display lists and no sticky window joins, but a place their apps still have windows.
    EXPECT_EQ(spaces.at(500), std::vector<std::int64_t>{1});
    EXPECT_EQ(spaces.at(501), std::vector<std::int64_t>{1});
    // Docks are on no desktop.
    EXPECT_FALSE(spaces.contains(900));
    EXPECT_EQ(spaces.size(), 6u);
}

TEST(MovePlans, AnAppsWindowsOnTheSpaceByContainerOrWindowStickyOnesStay) {
    const auto tree = treeAnswer(R"({
      "type": "root", "nodes": [
        {"type": "workspace", "id": 1, "name": "__i3_scratch",
         "floating_nodes": [{"type": "floating_con", "id": 5001, "window": 500}]},
        {"type": "workspace", "id": 10, "name": "1", "nodes": [
          {"type": "con", "id": 1001, "window": 100},
          {"type": "con", "layout": "splitv", "nodes": [
            {"type": "con", "id": 1011, "window": 101}, {"type": "con", "window": 103}]}],
         "floating_nodes": [{"type": "floating_con", "id": 1002, "window": 102, "sticky": true}]},
        {"type": "workspace", "id": 20, "name": "2", "nodes": [
          {"type": "con", "id": 2001, "window": 200}, {"type": "con", "id": 2002, "window": 201}]}
      ]})");
    // 103 has no container id; 201's owner is unknown.
    const std::map<std::int64_t, std::int32_t> owners{{100, 7}, {101, 8}, {102, 7},
                                                      {103, 7}, {200, 7}, {500, 7}};
    EXPECT_EQ(i3WindowsOn(tree, 10), (std::vector<std::int64_t>{100, 101, 103, 102}));
    EXPECT_EQ(i3WindowsOn(tree, 1), std::vector<std::int64_t>{});
    const struct {
        SpaceId from;
        std::int32_t pid;
        MovePlan plan;
    } i3Cases[] = {
        {10, 7, {{1001}, 1}}, {10, 8, {{1011}, 0}},
        {20, 7, {{2001}, 0}}, {1, 7, {}}, // the scratchpad is no space of the strip
        {30, 7, {}},
    };
    for (const auto& c : i3Cases)
        EXPECT_EQ(i3MovePlan(tree, c.from, c.pid, owners), c.plan) << c.from << " " << c.pid;

    const std::vector<DesktopWindow> windows{{1, 7, 0, false},
                                             {2, 7, 1, false},
                                             {3, 8, 0, false},
                                             {4, 7, 0, true},
                                             {5, 7, kAllDesktops, false},
                                             {6, std::nullopt, 0, false},
                                             {7, 7, std::nullopt, false}};
    EXPECT_EQ(ewmhMovePlan(windows, 7, 0), (MovePlan{{1}, 2}));
    EXPECT_EQ(ewmhMovePlan(windows, 7, 1), (MovePlan{{2}, 2}));
    EXPECT_EQ(ewmhMovePlan(windows, 8, 0), (MovePlan{{3}, 0}));
    EXPECT_EQ(ewmhMovePlan(windows, 9, 0), MovePlan{});
}

TEST(I3Tree, AbsurdlyDeepTreesAreCutOff) {
    // Built as text: the reply parser is iterative, so any depth arrives.
    std::string text = R"({"type":"workspace","id":5,"name":"1","nodes":[)";
    for (int i = 0; i < 1000; ++i)
        text += R"({"type":"con","nodes":[)";
    text += R"({"type":"con","window":1})";
    for (int i = 0; i < 1000; ++i)
        text += "]}";
    text += "]}";
    const auto tree = json::parse(text);
    EXPECT_TRUE(i3Tree(tree).windowSpaces.empty());
}

TEST(I3Answers, AreReadUpToTheCapAndSayWhenTheyWereCut) {
    // A normal answer is read whole and not reported.
    bool truncated = true;
    const auto outputs = json::parse(R"([{"name": "left", "active": true}])");
    const auto one = json::parse(R"([{"id": 1, "output": "left", "visible": true}])");
    EXPECT_EQ(spaceIds(i3DisplaySpaces(one, outputs, &truncated).at(0)), std::vector<SpaceId>{1});
    EXPECT_FALSE(truncated);

    json workspaces = json::array();
    json manyOutputs = json::array();
    json oneOnEach = json::array();
    for (std::size_t i = 0; i < kMaxDesktopItems + 500; ++i) {
        workspaces.push_back({{"id", i + 1}, {"output", "left"}, {"visible", i == 0}});
        const auto output = "out" + std::to_string(i);
        manyOutputs.push_back({{"name", output}, {"active", true}});
        oneOnEach.push_back({{"id", i + 1}, {"output", output}, {"visible", true}});
    }
    const auto displays = i3DisplaySpaces(workspaces, outputs, &truncated);
    EXPECT_EQ(spaceIds(displays.at(0)).size(), kMaxDesktopItems);
    EXPECT_TRUE(truncated);
    truncated = false;
    EXPECT_EQ(i3DisplaySpaces(oneOnEach, manyOutputs, &truncated).size(), kMaxDesktopItems);
    EXPECT_TRUE(truncated);

    // The tree: windows of one workspace, and workspaces each holding a sticky window (which
    // is on all of them, so uncapped both would grow as their product).
    json windows = json::array();
    json stickyWorkspaces = json::array();
    for (std::size_t i = 0; i < kMaxDesktopItems + 500; ++i) {
        windows.push_back({{"type", "con"}, {"window", i + 1}});
        stickyWorkspaces.push_back(
            {{"type", "workspace"},
             {"id", i + 1},
             {"name", std::to_string(i + 1)},
             {"nodes", json::array({{{"type", "con"}, {"window", i + 1}, {"sticky", true}}})}});
    }
    const json tree = {{"type", "workspace"}, {"id", 1}, {"name", "1"}, {"nodes", windows}};
    truncated = false;
    EXPECT_EQ(i3Tree(tree, &truncated).windowSpaces.size(), kMaxDesktopItems);
    EXPECT_TRUE(truncated);
    truncated = false;
    const auto sticky =
        i3Tree({{"type", "root"}, {"nodes", stickyWorkspaces}}, &truncated).windowSpaces;
    EXPECT_EQ(sticky.size(), kMaxDesktopItems);
    EXPECT_EQ(sticky.begin()->second.size(), kMaxDesktopItems);
    EXPECT_TRUE(truncated);
}

TEST(I3WorkspaceLabel, NumberFromNumNameAfterTheConventionalPrefix) {
    const std::tuple<std::optional<std::int64_t>, std::string, WmLabel> cases[] = {
        {3, "3", {3, std::nullopt}},
        {3, "3:web", {3, "web"}},
        {-1, "web", {std::nullopt, "web"}},
        {std::nullopt, "web", {std::nullopt, "web"}},
        // Nothing after the separator names nothing.
        {3, "3:", {3, std::nullopt}},
        // The number as written may carry zeros or leading blanks (i3 reads it so).
        {3, "03:x", {3, "x"}},
        {3, "03", {3, std::nullopt}},
        {3, " 3:x", {3, "x"}},
        // Only the first colon separates; blanks around the name are not part of it.
        {3, "3:a:b", {3, "a:b"}},
        {3, "3: web ", {3, "web"}},
        // Without the separator the whole name is the name.
        {3, "3web", {3, "3web"}},
        {3, "3 web", {3, "3 web"}},
        {0, "0", {0, std::nullopt}},
        {-1, "-1:x", {std::nullopt, "-1:x"}},
        {-1, "", {std::nullopt, std::nullopt}},
        {-1, "  ", {std::nullopt, std::nullopt}},
    };
    for (const auto& [num, name, expected] : cases)
        EXPECT_EQ(i3WorkspaceLabel(num, name), expected) << name;

    const auto outputs = json::parse(R"([{"name": "left", "active": true}])");
    const auto workspaces = json::parse(R"([
        {"id": 1, "num": 1, "name": "1", "output": "left", "visible": true},
        {"id": 2, "num": 9, "name": "9:web", "output": "left", "visible": false},
        {"id": 3, "num": -1, "name": "mail", "output": "left", "visible": false},
        {"id": 4, "name": 5, "output": "left", "visible": false}
    ])");
    const auto displays = i3DisplaySpaces(workspaces, outputs);
    const auto& spaces = displays.at(0).spaces;
    ASSERT_EQ(spaces.size(), 4u);
    EXPECT_EQ(spaces[0].wmNumber, 1);
    EXPECT_EQ(spaces[0].wmName, std::nullopt);
    EXPECT_EQ(spaces[1].wmNumber, 9);
    EXPECT_EQ(spaces[1].wmName, "web");
    EXPECT_EQ(spaces[2].wmNumber, std::nullopt);
    EXPECT_EQ(spaces[2].wmName, "mail");
    // Malformed members are read as absent.
    EXPECT_EQ(spaces[3].wmNumber, std::nullopt);
    EXPECT_EQ(spaces[3].wmName, std::nullopt);
}

TEST(FullScreenSpaces, OnlyASpaceWhoseOnlyWindowIsFullScreen) {
    const std::vector<SpaceWindow> windows{
        {100, {1}, true},                       // alone on 1
        {200, {2}, true},                       // shares 2 with 201
        {201, {2}, false},   {300, {3}, false}, // alone but not full screen
        {400, {4, 5}, true},                    // on two spaces, alone on 5 only
        {401, {4}, false},   {500, {}, true},   // on no space
    };
    EXPECT_EQ(fullScreenSpaces(windows), (std::map<SpaceId, std::int64_t>{{1, 100}, {5, 400}}));
    EXPECT_TRUE(fullScreenSpaces({}).empty());

    std::vector<Display> displays(2);
    displays[0].spaces.resize(2);
    displays[0].spaces[0].id = 1;
    displays[0].spaces[1].id = 2;
    displays[1].spaces.resize(1);
    displays[1].spaces[0].id = 5;
    markFullScreen(displays, {{1, 42}, {5, std::nullopt}, {7, 9}});
    EXPECT_EQ(displays[0].spaces[0].kind, SpaceKind::FullScreen);
    EXPECT_EQ(displays[0].spaces[0].fullScreenOwner, 42);
    EXPECT_EQ(displays[0].spaces[1].kind, SpaceKind::Desktop);
    EXPECT_EQ(displays[1].spaces[0].kind, SpaceKind::FullScreen);
    EXPECT_EQ(displays[1].spaces[0].fullScreenOwner, std::nullopt);
}

TEST(MarkUrgent, EverySpaceOfAnUrgentWindow) {
    const struct {
        const char* name;
        std::vector<SpaceWindow> windows;
        std::vector<bool> urgent; // spaces 1, 2, 3
    } cases[] = {
        {"none asks", {{100, {1}}, {200, {2}, true}}, {false, false, false}},
        {"one window", {{100, {1}}, {200, {2}, false, true}}, {false, true, false}},
        {"beside others", {{100, {2}}, {200, {2}, false, true}}, {false, true, false}},
        {"sticky", {{100, {1, 2, 3}, false, true}}, {true, true, true}},
        {"on no space", {{100, {}, false, true}}, {false, false, false}},
    };
    for (const auto& c : cases) {
        std::vector<Display> displays(2);
        displays[0].spaces.resize(2);
        displays[0].spaces[0].id = 1;
        displays[0].spaces[1].id = 2;
        displays[0].spaces[1].isUrgent = true; // from an earlier answer: cleared
        displays[1].spaces.resize(1);
        displays[1].spaces[0].id = 3;
        markUrgent(displays, c.windows);
        EXPECT_EQ((std::vector<bool>{displays[0].spaces[0].isUrgent, displays[0].spaces[1].isUrgent,
                                     displays[1].spaces[0].isUrgent}),
                  c.urgent)
            << c.name;
    }
}

TEST(I3Tree, AWorkspaceIsFullScreenWhenItsOnlyWindowIs) {
    // Workspaces themselves carry fullscreen_mode 1 in i3's tree; that alone is not enough.
    const auto tree = treeAnswer(R"({
      "type": "root", "nodes": [
        {"type": "output", "name": "__i3", "nodes": [
          {"type": "con", "nodes": [
            {"type": "workspace", "id": 1, "name": "__i3_scratch", "fullscreen_mode": 1,
             "floating_nodes": [{"type": "floating_con",
                                 "nodes": [{"window": 600, "fullscreen_mode": 1}]}]}]}]},
        {"type": "output", "name": "left", "nodes": [
          {"type": "con", "name": "content", "nodes": [
            {"type": "workspace", "id": 10, "name": "1", "fullscreen_mode": 1,
             "nodes": [{"type": "con", "window": 100, "fullscreen_mode": 1}]},
            {"type": "workspace", "id": 20, "name": "2", "fullscreen_mode": 1,
             "nodes": [{"type": "con", "window": 200, "fullscreen_mode": 0}]},
            {"type": "workspace", "id": 30, "name": "3", "fullscreen_mode": 1,
             "nodes": [{"type": "con", "window": 300, "fullscreen_mode": 1},
                       {"type": "con", "window": 301, "fullscreen_mode": 0}]},
            {"type": "workspace", "id": 40, "name": "4", "fullscreen_mode": 1,
             "nodes": [{"type": "con", "fullscreen_mode": 2, "layout": "splith",
                        "nodes": [{"type": "con", "window": 400}]}]},
            {"type": "workspace", "id": 50, "name": "5", "fullscreen_mode": 1,
             "floating_nodes": [{"type": "floating_con",
                                 "nodes": [{"type": "con", "window": 500, "fullscreen_mode": 1}]}]},
            {"type": "workspace", "id": 60, "name": "6", "fullscreen_mode": 1, "nodes": []}
          ]}]}
      ]})");
    // 1: its only window; 3: a second window beside it; 4: the container holding its only
    // window, over every output; 5: floating; the scratchpad is no desktop.
    EXPECT_EQ(i3Tree(tree).fullScreenWindows,
              (std::map<SpaceId, std::int64_t>{{10, 100}, {40, 400}, {50, 500}}));
}

TEST(EwmhDisplaySpaces, DesktopIndexPlusOneIsTheSpaceId) {
    const auto displays = ewmhDisplaySpaces("screen", 4, 2);
    ASSERT_EQ(displays.size(), 1u);
    EXPECT_EQ(displays[0].identifier, "screen");
    EXPECT_EQ(spaceIds(displays[0]), (std::vector<SpaceId>{1, 2, 3, 4}));
    EXPECT_EQ(displays[0].currentSpace, 3);
    // A current desktop out of range or missing leaves no display to show.
    EXPECT_TRUE(ewmhDisplaySpaces("screen", 4, 4).empty());
    EXPECT_TRUE(ewmhDisplaySpaces("screen", 4, std::nullopt).empty());

    EXPECT_EQ(ewmhSpacesOfDesktop(1, 4), std::vector<std::int64_t>{2});
    EXPECT_EQ(ewmhSpacesOfDesktop(kAllDesktops, 3), (std::vector<std::int64_t>{1, 2, 3}));
    EXPECT_TRUE(ewmhSpacesOfDesktop(4, 4).empty());
}

TEST(EwmhDesktopNames, NulSeparatedEntriesNumberedByIndex) {
    using namespace std::string_literals;
    using Names = std::vector<std::optional<std::string>>;
    EXPECT_EQ(ewmhDesktopNames("one\0two\0"s, false), (Names{"one", "two"}));
    // The last entry may lack its NUL; an empty entry names nothing.
    EXPECT_EQ(ewmhDesktopNames("one\0\0three"s, false), (Names{"one", std::nullopt, "three"}));
    // Read in part: the last entry may be cut, so it is dropped.
    EXPECT_EQ(ewmhDesktopNames("one\0tw"s, true), (Names{"one"}));
    EXPECT_EQ(ewmhDesktopNames("one\0"s, true), (Names{"one"}));
    EXPECT_TRUE(ewmhDesktopNames("", false).empty());
    // Broken UTF-8 is repaired, long names bounded, and the count capped.
    EXPECT_EQ(ewmhDesktopNames("a\xff"s, false), (Names{"a\uFFFD"}));
    EXPECT_LE(ewmhDesktopNames(std::string(5000, 'x'), false).at(0)->size(), 256u);
    EXPECT_EQ(ewmhDesktopNames(std::string(3000, '\0') + "x", false).size(), kMaxDesktopItems);

    const auto displays = ewmhDisplaySpaces("screen", 3, 0, Names{"mail", std::nullopt});
    const auto& spaces = displays.at(0).spaces;
    EXPECT_EQ(spaces[0].wmNumber, 1);
    EXPECT_EQ(spaces[0].wmName, "mail");
    EXPECT_EQ(spaces[1].wmNumber, 2);
    EXPECT_EQ(spaces[1].wmName, std::nullopt);
    EXPECT_EQ(spaces[2].wmNumber, 3);
    EXPECT_EQ(spaces[2].wmName, std::nullopt);
}

} // namespace
} // namespace tidemark::linux_platform::desktop
