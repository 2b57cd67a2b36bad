#include "platform/linux/x11/DesktopModel.h"

#include <gtest/gtest.h>

namespace tidemark::linux_platform::desktop {
namespace {

using nlohmann::json;

std::vector<std::int64_t> spaceIds(const Value& display) {
    std::vector<std::int64_t> ids;
    for (const auto& space : *display.find("Spaces")->asArray())
        ids.push_back(*space.find("ManagedSpaceID")->asInteger());
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
        {"id": 11, "name": "1", "output": "left", "visible": false},
        {"id": 12, "name": "2", "output": "left", "visible": true},
        {"id": "13", "name": "3", "output": "left", "visible": false},
        {"id": 21, "name": "4", "output": "right", "visible": true},
        {"id": 22, "name": "5", "output": "right", "visible": false},
        {"id": 31, "name": "6", "output": "gone", "visible": true},
        "nonsense"
    ])");
    const auto displays = i3DisplaySpaces(workspaces, outputs);
    const auto* list = displays.asArray();
    ASSERT_TRUE(list);
    // Output order of get_outputs; inactive and nameless outputs are not displays.
    ASSERT_EQ(list->size(), 3u);
    EXPECT_EQ(*(*list)[0].find("Display Identifier")->asString(), "right");
    EXPECT_EQ(spaceIds((*list)[0]), (std::vector<std::int64_t>{21, 22}));
    EXPECT_EQ((*list)[0].find("Current Space")->find("ManagedSpaceID")->asInteger(), 21);
    EXPECT_EQ(*(*list)[1].find("Display Identifier")->asString(), "left");
    // A workspace whose id is not an integer is left out.
    EXPECT_EQ(spaceIds((*list)[1]), (std::vector<std::int64_t>{11, 12}));
    EXPECT_EQ((*list)[1].find("Current Space")->find("ManagedSpaceID")->asInteger(), 12);
    // No visible workspace: no current space, so the reader skips the display.
    EXPECT_EQ((*list)[2].find("Current Space"), nullptr);

    EXPECT_EQ(i3DisplaySpaces(workspaces, json::object()), Value(ValueArray{}));
    EXPECT_EQ(i3DisplaySpaces(json(nullptr), outputs).asArray()->size(), 3u);
}

TEST(I3WindowSpaces, WindowsAtAnyDepthFloatingStickyAndOnTheScratchpad) {
    const auto tree = json::parse(R"({
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
    const auto spaces = i3WindowSpaces(tree);
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

    EXPECT_EQ(windowsOnSpaces(spaces, {20}), (std::vector<std::int64_t>{102, 200}));
    EXPECT_EQ(windowsOnSpaces(spaces, {10, 20}), (std::vector<std::int64_t>{100, 101, 102, 200}));
    EXPECT_EQ(windowsOnSpaces(spaces, {99}), std::vector<std::int64_t>{});
}

TEST(I3WindowSpaces, AbsurdlyDeepTreesAreCutOff) {
    // Built as text: the reply parser is iterative, so any depth arrives.
    std::string text = R"({"type":"workspace","id":5,"name":"1","nodes":[)";
    for (int i = 0; i < 1000; ++i)
        text += R"({"type":"con","nodes":[)";
    text += R"({"type":"con","window":1})";
    for (int i = 0; i < 1000; ++i)
        text += "]}";
    text += "]}";
    const auto tree = json::parse(text);
    EXPECT_TRUE(i3WindowSpaces(tree).empty());
}

TEST(I3Answers, AreReadUpToTheCapAndSayWhenTheyWereCut) {
    // A normal answer is read whole and not reported.
    bool truncated = true;
    const auto outputs = json::parse(R"([{"name": "left", "active": true}])");
    const auto one = json::parse(R"([{"id": 1, "output": "left", "visible": true}])");
    EXPECT_EQ(spaceIds((*i3DisplaySpaces(one, outputs, &truncated).asArray())[0]),
              std::vector<std::int64_t>{1});
    EXPECT_FALSE(truncated);

    json workspaces = json::array();
    json manyOutputs = json::array();
    for (std::size_t i = 0; i < kMaxDesktopItems + 500; ++i) {
        workspaces.push_back({{"id", i + 1}, {"output", "left"}, {"visible", i == 0}});
        manyOutputs.push_back({{"name", "out" + std::to_string(i)}, {"active", true}});
    }
    const auto displays = i3DisplaySpaces(workspaces, outputs, &truncated);
    EXPECT_EQ(spaceIds((*displays.asArray())[0]).size(), kMaxDesktopItems);
    EXPECT_TRUE(truncated);
    truncated = false;
    EXPECT_EQ(i3DisplaySpaces(one, manyOutputs, &truncated).asArray()->size(), kMaxDesktopItems);
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
    EXPECT_EQ(i3WindowSpaces(tree, &truncated).size(), kMaxDesktopItems);
    EXPECT_TRUE(truncated);
    truncated = false;
    const auto sticky = i3WindowSpaces({{"type", "root"}, {"nodes", stickyWorkspaces}}, &truncated);
    EXPECT_EQ(sticky.size(), kMaxDesktopItems);
    EXPECT_EQ(sticky.begin()->second.size(), kMaxDesktopItems);
    EXPECT_TRUE(truncated);
}

TEST(I3EventMayMoveWindows, FocusAndTitleMoveNothingAnythingElseMay) {
    using i3::EventType;
    const std::tuple<EventType, std::optional<std::string>, bool> cases[] = {
        {EventType::Workspace, "focus", false},  {EventType::Workspace, "urgent", false},
        {EventType::Workspace, "init", true},    {EventType::Workspace, "move", true},
        {EventType::Workspace, "reload", true},  {EventType::Window, "focus", false},
        {EventType::Window, "title", false},     {EventType::Window, "new", true},
        {EventType::Window, "move", true},       {EventType::Window, "floating", true},
        {EventType::Window, std::nullopt, true}, {EventType::Output, "unspecified", true},
        {EventType::Shutdown, "restart", true},
    };
    for (const auto& [type, change, moves] : cases)
        EXPECT_EQ(i3EventMayMoveWindows(type, change), moves)
            << static_cast<int>(type) << " " << change.value_or("(none)");
}

TEST(EwmhDisplaySpaces, DesktopIndexPlusOneIsTheSpaceId) {
    const auto displays = ewmhDisplaySpaces("screen", 4, 2);
    ASSERT_EQ(displays.asArray()->size(), 1u);
    const auto& display = displays.asArray()->front();
    EXPECT_EQ(*display.find("Display Identifier")->asString(), "screen");
    EXPECT_EQ(spaceIds(display), (std::vector<std::int64_t>{1, 2, 3, 4}));
    EXPECT_EQ(display.find("Current Space")->find("ManagedSpaceID")->asInteger(), 3);
    // A current desktop out of range or missing leaves the display without a current space.
    EXPECT_EQ(ewmhDisplaySpaces("screen", 4, 9).asArray()->front().find("Current Space"), nullptr);
    EXPECT_EQ(ewmhDisplaySpaces("screen", 4, std::nullopt).asArray()->front().find("Current Space"),
              nullptr);

    EXPECT_EQ(ewmhSpacesOfDesktop(1, 4), std::vector<std::int64_t>{2});
    EXPECT_EQ(ewmhSpacesOfDesktop(kAllDesktops, 3), (std::vector<std::int64_t>{1, 2, 3}));
    EXPECT_TRUE(ewmhSpacesOfDesktop(4, 4).empty());
}

} // namespace
} // namespace tidemark::linux_platform::desktop
