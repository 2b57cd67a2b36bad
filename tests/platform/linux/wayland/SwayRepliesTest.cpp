#include "platform/linux/wayland/SwayReplies.h"

#include <gtest/gtest.h>

namespace tidemark::linux_platform::wayland {
namespace {

using nlohmann::json;

// The shapes of sway 1.7's get_outputs, get_workspaces and get_tree, cut to the members read.
const json kOutputs = json::parse(R"([
  {"name": "HEADLESS-1", "active": true, "focused": false, "current_workspace": "2:mail"},
  {"name": "HDMI-A-1", "active": false},
  {"name": "HEADLESS-2", "active": true, "focused": true, "current_workspace": "3"},
  {"active": true}
])");

const json kWorkspaces = json::parse(R"([
  {"id": 4, "num": 1, "name": "1", "output": "HEADLESS-1", "visible": false, "focused": false,
   "urgent": true},
  {"id": 11, "num": 2, "name": "2:mail", "output": "HEADLESS-1", "visible": true,
   "focused": false, "urgent": false},
  {"id": 6, "num": 3, "name": "3", "output": "HEADLESS-2", "visible": true, "focused": true,
   "urgent": false},
  {"id": 15, "num": -1, "name": "music", "output": "HEADLESS-2", "visible": false},
  {"id": "7", "name": "broken", "output": "HEADLESS-2"}
])");

// Parsed as the compositor parses the answer: only the members the reader keeps.
const json kTree = i3::parseReplyPayload(R"({
  "id": 1, "type": "root", "name": "root", "nodes": [
    {"id": 2147483647, "type": "output", "name": "__i3", "nodes": [
      {"id": 2147483646, "type": "workspace", "name": "__i3_scratch", "fullscreen_mode": 1,
       "nodes": [], "floating_nodes": [
         {"id": 13, "type": "floating_con", "pid": 8572, "app_id": "foot", "shell": "xdg_shell",
          "sticky": true, "nodes": [], "floating_nodes": []}]}]},
    {"id": 3, "type": "output", "name": "HEADLESS-1", "nodes": [
      {"id": 4, "type": "workspace", "name": "1", "fullscreen_mode": 1, "nodes": [
        {"id": 20, "type": "con", "name": null, "layout": "splitv", "nodes": [
          {"id": 9, "type": "con", "pid": 7184, "app_id": "foot", "shell": "xdg_shell",
           "focused": false, "nodes": []},
          {"id": 21, "type": "con", "pid": 7190, "app_id": null, "shell": "xwayland",
           "window": 4194307, "window_properties": {"class": "XTerm", "instance": "xterm"},
           "nodes": []}]}],
       "floating_nodes": [
         {"id": 14, "type": "floating_con", "pid": 9816, "app_id": "org.example.Notes",
          "shell": "xdg_shell", "sticky": true, "focused": true, "nodes": []}]},
      {"id": 11, "type": "workspace", "name": "2:mail", "fullscreen_mode": 1, "nodes": [
        {"id": 12, "type": "con", "pid": 0, "app_id": "ghost", "shell": "xdg_shell",
         "nodes": []}]}]},
    {"id": 5, "type": "output", "name": "HEADLESS-2", "nodes": [
      {"id": 6, "type": "workspace", "name": "3", "fullscreen_mode": 1, "nodes": [
        {"id": 10, "type": "con", "pid": 7367, "app_id": "foot", "shell": "xdg_shell",
         "fullscreen_mode": 1, "nodes": []}]}]}]
})",
                                         sway::kTreeMembers)
                       .value();

TEST(SwayReplies, OutputsWithTheirWorkspacesNumberedAndNamedAsI3Does) {
    bool truncated = true;
    const auto outputs = sway::outputs(kWorkspaces, kOutputs, &truncated);
    EXPECT_FALSE(truncated);
    const Outputs expected{
        {"HEADLESS-1",
         {{.id = 4, .number = 1, .name = std::nullopt, .urgent = true},
          {.id = 11, .number = 2, .name = "mail", .visible = true}}},
        {"HEADLESS-2",
         {{.id = 6, .number = 3, .name = std::nullopt, .visible = true, .focused = true},
          {.id = 15, .number = std::nullopt, .name = "music"}}},
    };
    EXPECT_EQ(outputs, expected);
    EXPECT_TRUE(sway::outputs(json::object(), kOutputs)[0].workspaces.empty());
}

TEST(SwayReplies, ViewsWithTheirPidAppIdOrXClassAndWhereTheySit) {
    const auto windows = sway::windows(kTree);
    const Windows expected{
        // Kept on the scratchpad: still the app's window, sticky there means nothing.
        {.id = 13, .pid = 8572, .appId = "foot", .workspace = 2147483646},
        {.id = 9, .pid = 7184, .appId = "foot", .workspace = 4},
        {.id = 21, .pid = 7190, .appId = "XTerm", .instance = "xterm", .workspace = 4},
        {.id = 14,
         .pid = 9816,
         .appId = "org.example.Notes",
         .workspace = 4,
         .sticky = true,
         .focused = true},
        // A client sway could not name keeps its window, without an owner.
        {.id = 12, .pid = std::nullopt, .appId = "ghost", .workspace = 11},
        {.id = 10, .pid = 7367, .appId = "foot", .workspace = 6, .fullScreen = true},
    };
    EXPECT_EQ(windows, expected);
    EXPECT_TRUE(sway::windows(json::array()).empty());
}

TEST(SwayReplies, EventsSayWhichPartOfTheTableMayHaveChanged) {
    using i3::EventType;
    struct Case {
        EventType type;
        std::optional<std::string> change;
        TableChanges expected;
    };
    const Case cases[] = {
        {EventType::Workspace, "focus", {.workspaces = true}},
        {EventType::Workspace, "rename", {.workspaces = true}},
        {EventType::Output, "unspecified", {.outputs = true}},
        {EventType::Window, "new", {.windows = true}},
        {EventType::Window, "focus", {.windows = true}},
        {EventType::Window, "fullscreen_mode", {.windows = true}},
        {EventType::Window, std::nullopt, {.windows = true}},
        {EventType::Window, "title", {}},
        {EventType::Window, "mark", {}},
        {EventType::Shutdown, "exit", {}},
        {static_cast<EventType>(42), "anything", {}},
    };
    for (const auto& c : cases) {
        const auto changes = sway::eventChanges(c.type, c.change);
        EXPECT_EQ(changes.workspaces, c.expected.workspaces) << c.change.value_or("(none)");
        EXPECT_EQ(changes.outputs, c.expected.outputs) << c.change.value_or("(none)");
        EXPECT_EQ(changes.windows, c.expected.windows) << c.change.value_or("(none)");
    }
}

} // namespace
} // namespace tidemark::linux_platform::wayland
