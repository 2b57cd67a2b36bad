#include "platform/linux/x11/DesktopEvents.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tidemark::linux_platform::desktop {
namespace {

using Kind = I3TreeChange::Kind;
using i3::EventType;

// i3 4.22's window event for a container, cut to a few of its members (the reader must pass
// over the rest, nested ones included).
std::string windowEvent(const std::string& change, const std::string& window,
                        const std::string& fullScreenMode = "0") {
    return R"({"change":")" + change + R"(","container":{"id":94578088301328,"type":"con",)" +
           R"("name":"xlogo","rect":{"x":0,"y":18,"width":1024,"height":750},)" + R"("window":)" +
           window + R"(,"window_properties":{"class":"XLogo","title":"xlogo"},)" +
           R"("fullscreen_mode":)" + fullScreenMode +
           R"(,"sticky":false,"floating":"user_on","nodes":[],"floating_nodes":[]}})";
}

std::string workspaceEvent(const std::string& change) {
    return R"({"change":")" + change +
           R"(","current":{"id":94578088290256,"type":"workspace","name":"3",)" +
           R"("nodes":[{"id":1,"window":6291459,"fullscreen_mode":1}]},"old":null})";
}

TEST(I3TreeChange, ReadsWhatAnEventSaysOfTheWindowsWorkspaces) {
    struct Case {
        EventType type;
        std::string payload;
        I3TreeChange expected;
    };
    const Case cases[] = {
        // A switch: the workspaces' focus and the window's.
        {EventType::Workspace, workspaceEvent("focus"), {Kind::None}},
        {EventType::Window, windowEvent("focus", "6291459"), {Kind::None}},
        {EventType::Window, windowEvent("title", "6291459"), {Kind::None}},
        {EventType::Window, windowEvent("floating", "6291459"), {Kind::None}},
        {EventType::Window, windowEvent("urgent", "6291459"), {Kind::None}},
        {EventType::Window, windowEvent("mark", "6291459"), {Kind::None}},
        {EventType::Workspace, workspaceEvent("urgent"), {Kind::None}},
        {EventType::Workspace, workspaceEvent("rename"), {Kind::None}},
        {EventType::Workspace, workspaceEvent("move"), {Kind::None}},
        {EventType::Workspace, workspaceEvent("init"), {Kind::WorkspacesChanged}},
        {EventType::Workspace, workspaceEvent("empty"), {Kind::WorkspacesChanged}},
        {EventType::Window, windowEvent("close", "10485763"), {Kind::WindowClosed, 10485763}},
        {EventType::Window,
         windowEvent("fullscreen_mode", "10485763", "1"),
         {Kind::FullScreen, 10485763, true}},
        // Global full screen is full screen too.
        {EventType::Window,
         windowEvent("fullscreen_mode", "10485763", "2"),
         {Kind::FullScreen, 10485763, true}},
        {EventType::Window,
         windowEvent("fullscreen_mode", "10485763", "0"),
         {Kind::FullScreen, 10485763, false}},
        // Where a window was made or moved to, or what a container holds, is not said.
        {EventType::Window, windowEvent("new", "10485763"), {}},
        {EventType::Window, windowEvent("move", "10485763"), {}},
        {EventType::Window, windowEvent("fullscreen_mode", "null", "1"), {}},
        {EventType::Workspace, workspaceEvent("reload"), {}},
        {EventType::Workspace, workspaceEvent("restored"), {}},
        {EventType::Output, R"({"change":"unspecified"})", {}},
        {EventType::Shutdown, R"({"change":"restart"})", {}},
        // Malformed: no change, no container, a mode of the wrong type, not JSON.
        {EventType::Window, R"({"container":{"window":1}})", {}},
        {EventType::Window, R"({"change":"close"})", {}},
        {EventType::Window, R"({"change":"close","container":[1]})", {}},
        {EventType::Window, windowEvent("fullscreen_mode", "10485763", R"("1")"), {}},
        {EventType::Window, R"({"change":"close","container":{"window":)", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(readI3TreeChange(c.type, c.payload), c.expected) << c.payload;

    // A focus names the window that has it, which the X server tells only later.
    EXPECT_EQ(readI3FocusedWindow(windowEvent("focus", "6291459")), 6291459);
    EXPECT_EQ(readI3FocusedWindow(windowEvent("title", "6291459")), std::nullopt);
    EXPECT_EQ(readI3FocusedWindow(windowEvent("focus", "null")), std::nullopt);
    EXPECT_EQ(readI3FocusedWindow(R"({"change":"focus","container":7})"), std::nullopt);
}

TEST(I3WorkspaceFocus, ReadsTheFocusedWorkspaceAndShowsItOnItsOutput) {
    // i3 4.22 lists "output" before the workspace's windows, whose own ids and outputs are
    // not the workspace's.
    const std::string current =
        R"("current":{"id":20,"type":"workspace","rect":{"x":0},"marks":[],"output":"left",)"
        R"("nodes":[{"id":7,"output":"right","window":1}],"name":"2"})";
    const std::string old = R"("old":{"id":10,"type":"workspace","output":"left","nodes":[]})";
    const std::pair<std::string, std::optional<I3WorkspaceFocus>> reads[] = {
        {R"({"change":"focus",)" + current + "," + old + "}", I3WorkspaceFocus{20, "left"}},
        // What follows the focused workspace is not read.
        {R"({"change":"focus",)" + current + R"(,"old":{"id":)", I3WorkspaceFocus{20, "left"}},
        {R"({"change":"init",)" + current + "}", std::nullopt},
        {R"({"change":"focus","current":null,)" + old + "}", std::nullopt},
        {R"({"change":"focus","current":{"id":20,"nodes":[{"output":"left"}]}})", std::nullopt},
        {R"({"change":"focus","current":{"id":"20","output":"left"}})", std::nullopt},
        {R"({"change":"focus","current":{"id":20,"output":7}})", std::nullopt},
        {R"({"current":{"id":20,"output":"left"}})", std::nullopt},
        {R"({"change":"focus","current":{"id":20,)", std::nullopt},
    };
    for (const auto& [payload, expected] : reads)
        EXPECT_EQ(readI3WorkspaceFocus(payload), expected) << payload;

    const auto display = [](const char* name, std::vector<SpaceId> ids, SpaceId current) {
        Display d;
        d.identifier = name;
        for (const auto id : ids) {
            DisplaySpace space;
            space.id = id;
            d.spaces.push_back(space);
        }
        d.currentSpace = current;
        return d;
    };
    const std::vector<Display> before{display("left", {10, 20}, 10),
                                      display("right", {30, 40}, 40)};
    struct Case {
        I3WorkspaceFocus focus;
        bool followed;
        std::vector<SpaceId> currents;
    };
    for (const auto& c : {
             Case{{20, "left"}, true, {20, 40}},
             Case{{30, "right"}, true, {10, 30}},
             // Focus moving to the other output's visible workspace changes nothing shown.
             Case{{40, "right"}, true, {10, 40}},
             Case{{50, "left"}, false, {10, 40}},
             Case{{30, "left"}, false, {10, 40}},
             Case{{20, "gone"}, false, {10, 40}},
         }) {
        auto displays = before;
        EXPECT_EQ(followI3WorkspaceFocus(displays, c.focus), c.followed) << c.focus.workspace;
        EXPECT_EQ((std::vector<SpaceId>{displays[0].currentSpace, displays[1].currentSpace}),
                  c.currents)
            << c.focus.workspace;
    }
}

// A tree as i3 lists it: workspaces by id with their windows.
struct TreeWindow {
    std::int64_t window;
    int fullScreenMode = 0;
    bool sticky = false;
};
struct TreeWorkspace {
    std::int64_t id;
    std::vector<TreeWindow> windows;
    // A split container holding the windows is full screen, not they themselves.
    bool containerFullScreen = false;
};

nlohmann::json treeOf(const std::vector<TreeWorkspace>& workspaces,
                      const std::vector<std::int64_t>& scratchpad = {}) {
    auto windowsOf = [](const std::vector<TreeWindow>& windows) {
        auto nodes = nlohmann::json::array();
        for (const auto& w : windows)
            nodes.push_back({{"type", "con"},
                             {"window", w.window},
                             {"fullscreen_mode", w.fullScreenMode},
                             {"sticky", w.sticky}});
        return nodes;
    };
    auto content = nlohmann::json::array();
    for (const auto& workspace : workspaces) {
        auto nodes = windowsOf(workspace.windows);
        if (workspace.containerFullScreen)
            nodes = nlohmann::json::array(
                {{{"type", "con"}, {"fullscreen_mode", 1}, {"nodes", nodes}}});
        content.push_back({{"type", "workspace"},
                           {"id", workspace.id},
                           {"name", std::to_string(workspace.id)},
                           {"fullscreen_mode", 1},
                           {"nodes", nodes}});
    }
    std::vector<TreeWindow> hidden;
    for (const auto window : scratchpad)
        hidden.push_back({window});
    const nlohmann::json scratch = {{"type", "workspace"},
                                    {"id", 1},
                                    {"name", "__i3_scratch"},
                                    {"floating_nodes", windowsOf(hidden)}};
    return {{"type", "root"},
            {"nodes",
             {{{"type", "output"}, {"name", "__i3"}, {"nodes", {scratch}}},
              {{"type", "output"}, {"name", "left"}, {"nodes", content}}}}};
}

// Following an event must leave what reading the tree after it gives.
TEST(FollowI3TreeChange, LeavesWhatTheTreeAfterTheEventReadsOrAsksForIt) {
    const std::vector<TreeWorkspace> two{{10, {{100}, {101}}}, {20, {{200}}}};
    struct Case {
        const char* name;
        nlohmann::json before;
        I3TreeChange change;
        // Nothing: the change is not followed.
        std::optional<nlohmann::json> after;
    };
    const Case cases[] = {
        {"a focus", treeOf(two), {Kind::None}, treeOf(two)},
        {"a window closes beside another, which is now alone full screen",
         treeOf({{10, {{100, 1}, {101}}}, {20, {{200}}}}),
         {Kind::WindowClosed, 101},
         treeOf({{10, {{100, 1}}}, {20, {{200}}}})},
        {"the full-screen window closes",
         treeOf({{10, {{100}, {101}}}, {20, {{200, 1}}}}),
         {Kind::WindowClosed, 200},
         treeOf({{10, {{100}, {101}}}, {20, {}}})},
        {"a sticky window closes",
         treeOf({{10, {{100}, {300, 0, true}}}, {20, {{200}}}}),
         {Kind::WindowClosed, 300},
         treeOf({{10, {{100}}}, {20, {{200}}}})},
        {"the only window of a workspace goes full screen",
         treeOf(two),
         {Kind::FullScreen, 200, true},
         treeOf({{10, {{100}, {101}}}, {20, {{200, 1}}}})},
        {"one of two goes full screen: no workspace is full screen",
         treeOf(two),
         {Kind::FullScreen, 100, true},
         treeOf({{10, {{100, 1}, {101}}}, {20, {{200}}}})},
        {"it leaves full screen",
         treeOf({{10, {{100}, {101}}}, {20, {{200, 1}}}}),
         {Kind::FullScreen, 200, false},
         treeOf(two)},
        {"a window on the scratchpad changes nothing shown",
         treeOf(two, {600}),
         {Kind::FullScreen, 600, true},
         treeOf(two, {600})},
        {"a workspace made without sticky windows",
         treeOf(two),
         {Kind::WorkspacesChanged},
         treeOf(two)},
        {"a workspace made with a sticky window, which is on it too",
         treeOf({{10, {{100}, {300, 0, true}}}, {20, {{200}}}}),
         {Kind::WorkspacesChanged},
         std::nullopt},
        {"a window the tree does not hold",
         treeOf(two),
         {Kind::FullScreen, 999, true},
         std::nullopt},
        {"inside a full-screen container, whose windows' own events do not tell",
         treeOf({{10, {{100}, {101}}, true}, {20, {{200}}}}),
         {Kind::FullScreen, 100, false},
         std::nullopt},
        {"a move", treeOf(two), {}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto tree = i3Tree(c.before);
        const bool followed = followI3TreeChange(tree, c.change);
        ASSERT_EQ(followed, c.after.has_value());
        if (!followed)
            continue;
        const auto expected = i3Tree(*c.after);
        EXPECT_EQ(tree.windowSpaces, expected.windowSpaces);
        EXPECT_EQ(tree.fullScreenWindows, expected.fullScreenWindows);
        EXPECT_EQ(tree.fullScreen, expected.fullScreen);
        EXPECT_EQ(tree.stickyWindows, expected.stickyWindows);
    }
}

} // namespace
} // namespace tidemark::linux_platform::desktop
