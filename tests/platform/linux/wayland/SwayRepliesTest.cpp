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

// Events recorded from sway 1.7, their containers cut to the members that shape them.
const std::string kFootView = R"({"id": 10, "type": "con", "urgent": false, "focused": true,
  "name": "foot", "nodes": [], "floating_nodes": [], "fullscreen_mode": 0, "sticky": false,
  "pid": 10233, "app_id": "foot", "shell": "xdg_shell"})";

std::string windowEvent(const std::string& change, const std::string& container = kFootView) {
    return R"({"change": ")" + change + R"(", "container": )" + container + "}";
}

// Back to workspace 1 from 2 on the same output: both carried whole with their windows.
const std::string kWorkspaceFocus = R"({"change": "focus",
  "old": {"id": 9, "type": "workspace", "urgent": false, "focused": false, "name": "2",
    "nodes": [{"id": 10, "type": "con", "focused": false, "name": "foot", "nodes": [],
      "floating_nodes": [], "pid": 10233, "app_id": "foot", "shell": "xdg_shell"}],
    "floating_nodes": [], "fullscreen_mode": 1, "num": 2, "output": "HEADLESS-1"},
  "current": {"id": 4, "type": "workspace", "urgent": false, "focused": false, "name": "1",
    "nodes": [{"id": 7, "type": "con", "focused": false, "name": "foot", "nodes": [],
      "floating_nodes": [], "pid": 9979, "app_id": "foot", "shell": "xdg_shell"}],
    "floating_nodes": [], "fullscreen_mode": 1, "num": 1, "output": "HEADLESS-1"}})";

std::string workspaceEvent(const std::string& change, const std::string& current) {
    return R"({"change": ")" + change + R"(", "old": null, "current": )" + current + "}";
}

TEST(SwayReplies, EventsSayWhatChangedOrTellTheFocusWhole) {
    using i3::EventType;
    const std::string named = R"({"id": 15, "name": "music", "num": -1, "output": "HEADLESS-2"})";
    struct Case {
        const char* what;
        EventType type;
        std::string payload;
        TableChanges expected;
    };
    const Case cases[] = {
        {"workspace shown",
         EventType::Workspace,
         kWorkspaceFocus,
         {.shownWorkspaces = {{"HEADLESS-1",
                               {.id = 4, .number = 1, .visible = true, .focused = true}}}}},
        {"named workspace shown",
         EventType::Workspace,
         workspaceEvent("focus", named),
         {.shownWorkspaces = {{"HEADLESS-2",
                               {.id = 15, .name = "music", .visible = true, .focused = true}}}}},
        {"shown without its output",
         EventType::Workspace,
         workspaceEvent("focus", R"({"id": 4, "name": "1", "num": 1})"),
         {.workspaces = true}},
        {"shown, not JSON",
         EventType::Workspace,
         R"({"change": "focus", "current": {"id)",
         {.workspaces = true}},
        {"workspace made",
         EventType::Workspace,
         workspaceEvent("init", named),
         {.workspaces = true}},
        {"workspace emptied",
         EventType::Workspace,
         workspaceEvent("empty", named),
         {.workspaces = true}},
        {"workspace renamed",
         EventType::Workspace,
         workspaceEvent("rename", named),
         {.workspaces = true}},
        {"workspace moved",
         EventType::Workspace,
         workspaceEvent("move", named),
         {.workspaces = true}},
        {"workspace urgent",
         EventType::Workspace,
         workspaceEvent("urgent", named),
         {.workspaces = true}},
        {"configuration reloaded",
         EventType::Workspace,
         workspaceEvent("reload", "null"),
         {.workspaces = true}},
        {"output changed", EventType::Output, R"({"change": "unspecified"})", {.outputs = true}},
        {"view focused",
         EventType::Window,
         windowEvent("focus"),
         {.focusedWindow = WindowEntry{.id = 10, .pid = 10233, .appId = "foot", .focused = true}}},
        {"Xwayland view focused",
         EventType::Window,
         windowEvent("focus", R"({"id": 12, "type": "con", "pid": 19787, "app_id": null,
           "window": 4194313, "shell": "xwayland",
           "window_properties": {"class": "URxvt", "instance": "urxvt"}})"),
         {.focusedWindow =
              WindowEntry{
                  .id = 12, .pid = 19787, .appId = "URxvt", .instance = "urxvt", .focused = true}}},
        // Focus on a split container (`focus parent`): no view to tell, the tree says.
        {"container focused",
         EventType::Window,
         windowEvent("focus", R"({"id": 20, "type": "con", "nodes": [{"id": 10}]})"),
         {.windows = true}},
        {"view opened", EventType::Window, windowEvent("new"), {.windows = true}},
        {"view closed", EventType::Window, windowEvent("close"), {.windows = true}},
        {"view moved", EventType::Window, windowEvent("move"), {.windows = true}},
        {"view floated", EventType::Window, windowEvent("floating"), {.windows = true}},
        {"view full screen", EventType::Window, windowEvent("fullscreen_mode"), {.windows = true}},
        {"unnamed window change", EventType::Window, R"({"container": {}})", {.windows = true}},
        {"view retitled", EventType::Window, windowEvent("title"), {}},
        {"view marked", EventType::Window, windowEvent("mark"), {}},
        {"view urgent", EventType::Window, windowEvent("urgent"), {}},
        {"shutdown", EventType::Shutdown, R"({"change": "exit"})", {}},
        {"unknown event", static_cast<EventType>(42), R"({"change": "anything"})", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sway::eventChanges(c.type, c.payload), c.expected) << c.what;
}

} // namespace
} // namespace tidemark::linux_platform::wayland
