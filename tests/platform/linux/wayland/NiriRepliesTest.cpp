#include "platform/linux/wayland/NiriReplies.h"

#include <gtest/gtest.h>

namespace tidemark::linux_platform::wayland {
namespace {

using nlohmann::json;

TEST(NiriReplies, WorkspacesGroupedByOutputInTheirOrderThere) {
    const auto reply = json::parse(R"({"Ok": {"Workspaces": [
      {"id": 5, "idx": 2, "name": null, "output": "DP-1", "is_urgent": true, "is_active": false,
       "is_focused": false, "active_window_id": null},
      {"id": 3, "idx": 1, "name": "web", "output": "DP-1", "is_active": true,
       "is_focused": true, "active_window_id": 12},
      {"id": 4, "idx": 1, "name": null, "output": "DP-2", "is_active": true,
       "is_focused": false},
      {"id": 6, "idx": 1, "name": "orphan", "output": null, "is_active": false},
      {"id": 18446744073709551615, "idx": 3, "output": "DP-1"},
      {"id": -2, "idx": 4, "output": "DP-1"}
    ]}})");
    const auto workspaces = niri::okPayload(reply, "Workspaces");
    ASSERT_TRUE(workspaces);
    const Outputs expected{
        {"DP-1",
         {{.id = 3, .number = 1, .name = "web", .visible = true, .focused = true},
          {.id = 5, .number = 2, .urgent = true}}},
        {"DP-2", {{.id = 4, .number = 1, .visible = true}}},
    };
    EXPECT_EQ(niri::outputs(*workspaces), expected);

    EXPECT_FALSE(niri::okPayload(json::parse(R"({"Err": "no"})"), "Workspaces"));
    EXPECT_FALSE(niri::okPayload(reply, "Windows"));
    EXPECT_FALSE(niri::okPayload(json::parse("[1]"), "Workspaces"));
    EXPECT_TRUE(niri::handled(json::parse(R"({"Ok": "Handled"})")));
    EXPECT_FALSE(niri::handled(json::parse(R"({"Err": "Handled"})")));
}

TEST(NiriReplies, WindowsWithTheirAppIdPidWorkspaceAndFocus) {
    const auto list = json::parse(R"([
      {"id": 12, "title": "t", "app_id": "foot", "pid": 700, "workspace_id": 3,
       "is_focused": true, "is_floating": false},
      {"id": 13, "title": null, "app_id": null, "pid": null, "workspace_id": null,
       "is_focused": false},
      {"id": "14", "app_id": "broken"}
    ])");
    const Windows expected{
        {.id = 12, .pid = 700, .appId = "foot", .workspace = 3, .focused = true},
        {.id = 13},
    };
    EXPECT_EQ(niri::windows(list), expected);
}

TEST(NiriReplies, RequestsAndEvents) {
    EXPECT_EQ(niri::focusWorkspaceRequest(5),
              R"({"Action":{"FocusWorkspace":{"reference":{"Id":5}}}})"
              "\n");
    EXPECT_EQ(niri::closeWindowRequest(12), R"({"Action":{"CloseWindow":{"id":12}}})"
                                            "\n");
    EXPECT_EQ(niri::moveWindowRequest(12, 5),
              R"({"Action":{"MoveWindowToWorkspace":{"focus":false,"reference":{"Id":5},)"
              R"("window_id":12}}})"
              "\n");
    struct Case {
        const char* line;
        TableChanges expected;
    };
    const Case cases[] = {
        {R"({"WorkspacesChanged":{"workspaces":[]}})", {.workspaces = true}},
        {R"( { "WorkspaceActivated": {"id": 3, "focused": true}})", {.workspaces = true}},
        {R"({"WindowOpenedOrChanged":{"window":{"id":1}}})", {.windows = true}},
        {R"({"WindowClosed":{"id":1}})", {.windows = true}},
        {R"({"WindowFocusChanged":{"id":null}})", {.windows = true}},
        {R"({"KeyboardLayoutSwitched":{"idx":1}})", {}},
        {R"({"WindowClosed)", {}},
        {"WindowClosed", {}},
        {"", {}},
    };
    for (const auto& c : cases) {
        const auto changes = niri::eventChanges(c.line);
        EXPECT_EQ(changes.workspaces, c.expected.workspaces) << c.line;
        EXPECT_EQ(changes.outputs, c.expected.outputs) << c.line;
        EXPECT_EQ(changes.windows, c.expected.windows) << c.line;
    }
}

} // namespace
} // namespace tidemark::linux_platform::wayland
