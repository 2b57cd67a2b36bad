#include "platform/linux/wayland/HyprlandReplies.h"

#include <gtest/gtest.h>

namespace tidemark::linux_platform::wayland {
namespace {

using nlohmann::json;

// The shapes of `hyprctl -j monitors`, `workspaces` and `clients`, cut to the members read.
const json kMonitors = json::parse(R"([
  {"id": 0, "name": "DP-1", "activeWorkspace": {"id": 2, "name": "2"},
   "specialWorkspace": {"id": 0, "name": ""}, "focused": false, "disabled": false},
  {"id": 1, "name": "HDMI-A-1", "activeWorkspace": {"id": -1338, "name": "mail"},
   "specialWorkspace": {"id": -98, "name": "special:term"}, "focused": true, "disabled": false},
  {"id": 2, "name": "eDP-1", "activeWorkspace": {"id": 9, "name": "9"}, "disabled": true}
])");

const json kWorkspaces = json::parse(R"([
  {"id": 2, "name": "2", "monitor": "DP-1", "monitorID": 0, "windows": 1},
  {"id": 1, "name": "web", "monitor": "DP-1", "monitorID": 0, "windows": 2},
  {"id": -98, "name": "special:term", "monitor": "HDMI-A-1", "monitorID": 1},
  {"id": -1339, "name": "chat", "monitor": "HDMI-A-1", "monitorID": 1},
  {"id": -1338, "name": "mail", "monitor": "HDMI-A-1", "monitorID": 1},
  {"id": 4, "name": "4", "monitor": "HDMI-A-1", "monitorID": 1},
  {"id": 9, "name": "9", "monitor": "eDP-1", "monitorID": 2},
  {"id": "5", "name": "5", "monitor": "DP-1"}
])");

TEST(HyprlandReplies, EnabledMonitorsWithNumberedThenNamedWorkspacesAndTheActiveOneShown) {
    const Outputs expected{
        {"DP-1", {{.id = 1, .number = 1, .name = "web"}, {.id = 2, .number = 2, .visible = true}}},
        {"HDMI-A-1",
         {{.id = 4, .number = 4},
          {.id = -1338, .name = "mail", .visible = true, .focused = true},
          {.id = -1339, .name = "chat"}}},
    };
    EXPECT_EQ(hyprland::outputs(kMonitors, kWorkspaces), expected);
}

TEST(HyprlandReplies, MappedClientsByAddressWithTheirClassPidAndState) {
    const auto clients = json::parse(R"([
      {"address": "0x55d0c1a2b3c0", "mapped": true, "workspace": {"id": 2, "name": "2"},
       "class": "foot", "pid": 812, "pinned": false, "fullscreen": 2, "focusHistoryID": 0},
      {"address": "0x10", "mapped": true, "workspace": {"id": 1, "name": "web"},
       "class": "", "initialClass": "firefox", "pid": 900, "fullscreen": 1,
       "focusHistoryID": 1},
      {"address": "0x11", "workspace": {"id": -98, "name": "special:term"}, "class": "kitty",
       "pid": 901, "pinned": true, "fullscreen": true, "fullscreenMode": 0},
      {"address": "0x12", "mapped": true, "workspace": {"id": -1, "name": ""}, "class": "x",
       "pid": -1, "fullscreen": true, "fullscreenMode": 1},
      {"address": "0x13", "mapped": false, "class": "leaving", "pid": 5},
      {"address": "55d0", "mapped": true, "class": "no-prefix", "pid": 6},
      {"address": "0xffffffffffffffff", "mapped": true, "class": "too-big", "pid": 7},
      "nonsense"
    ])");
    const Windows expected{
        {.id = 0x55d0c1a2b3c0,
         .pid = 812,
         .appId = "foot",
         .workspace = 2,
         .fullScreen = true,
         .focused = true},
        // A maximised window is not full screen, in the mask and in the older flag and mode.
        {.id = 0x10, .pid = 900, .appId = "firefox", .workspace = 1},
        // A special workspace is one no monitor lists, as sway's scratchpad.
        {.id = 0x11,
         .pid = 901,
         .appId = "kitty",
         .workspace = -98,
         .sticky = true,
         .fullScreen = true},
        {.id = 0x12, .pid = std::nullopt, .appId = "x", .workspace = std::nullopt},
    };
    EXPECT_EQ(hyprland::windows(clients), expected);
}

TEST(HyprlandReplies, RequestsNameTheWorkspaceAsTheDispatcherReadsIt) {
    EXPECT_EQ(hyprland::switchRequest(kWorkspaces, 4), "dispatch workspace 4");
    // A named workspace has a negative id, which the dispatcher would read as relative.
    EXPECT_EQ(hyprland::switchRequest(kWorkspaces, -1338), "dispatch workspace name:mail");
    EXPECT_EQ(hyprland::switchRequest(kWorkspaces, 77), std::nullopt);
    const auto lying = json::parse(R"([{"id": -1400, "name": "a\nexit"}, {"id": -1401}])");
    EXPECT_EQ(hyprland::switchRequest(lying, -1400), std::nullopt);
    EXPECT_EQ(hyprland::switchRequest(lying, -1401), std::nullopt);
    EXPECT_EQ(hyprland::closeRequest(0x55d0c1a2b3c0),
              "dispatch closewindow address:0x55d0c1a2b3c0");
    EXPECT_EQ(hyprland::moveRequest(kWorkspaces, 0x55d0, 4),
              "dispatch movetoworkspacesilent 4,address:0x55d0");
    EXPECT_EQ(hyprland::moveRequest(kWorkspaces, 0x55d0, -1338),
              "dispatch movetoworkspacesilent name:mail,address:0x55d0");
    const auto comma = json::parse(R"([{"id": -1402, "name": "a,b"}])");
    EXPECT_EQ(hyprland::moveRequest(comma, 0x55d0, -1402), std::nullopt);
    EXPECT_EQ(hyprland::moveRequest(lying, 0x55d0, -1400), std::nullopt);
    EXPECT_EQ(hyprland::moveRequest(kWorkspaces, 0x55d0, 77), std::nullopt);
}

TEST(HyprlandReplies, EventsAndSockets) {
    struct Case {
        const char* line;
        TableChanges expected;
    };
    const Case cases[] = {
        {"workspacev2>>3,3", {.workspaces = true}},
        {"focusedmon>>DP-1,2", {.workspaces = true}},
        {"destroyworkspace>>5", {.workspaces = true}},
        {"monitoradded>>HDMI-A-1", {.outputs = true}},
        {"openwindow>>55d0,2,foot,~", {.windows = true}},
        {"activewindowv2>>55d0", {.windows = true}},
        {"fullscreen>>1", {.windows = true}},
        {"windowtitlev2>>55d0,a >> b", {}},
        {"submap>>resize", {}},
        {"workspace", {.workspaces = true}},
        {"", {}},
    };
    for (const auto& c : cases) {
        const auto changes = hyprland::eventChanges(c.line);
        EXPECT_EQ(changes.workspaces, c.expected.workspaces) << c.line;
        EXPECT_EQ(changes.outputs, c.expected.outputs) << c.line;
        EXPECT_EQ(changes.windows, c.expected.windows) << c.line;
    }

    const auto candidates = hyprland::socketCandidates("/run/user/1000", "abc_123");
    ASSERT_EQ(candidates.size(), 2u);
    EXPECT_EQ(candidates[0].requests, "/run/user/1000/hypr/abc_123/.socket.sock");
    EXPECT_EQ(candidates[0].events, "/run/user/1000/hypr/abc_123/.socket2.sock");
    EXPECT_EQ(candidates[1].requests, "/tmp/hypr/abc_123/.socket.sock");
    EXPECT_EQ(hyprland::socketCandidates("", "abc").size(), 1u);
    for (const char* bad : {"", ".", "..", "../../etc", "a/b"})
        EXPECT_TRUE(hyprland::socketCandidates("/run/user/1000", bad).empty()) << bad;
}

} // namespace
} // namespace tidemark::linux_platform::wayland
