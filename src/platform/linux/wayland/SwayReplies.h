#pragma once

#include "platform/linux/i3/I3Ipc.h"
#include "platform/linux/wayland/Compositor.h"

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

// sway's answers (its i3-style IPC) read into the desktop table. Pure functions; where given,
// `truncated` is set when a list was cut at kMaxDesktopItems.
namespace tidemark::linux_platform::wayland::sway {

// The active outputs of `get_outputs` with their workspaces from `get_workspaces`, numbered
// and named as i3 does ("3:mail" is number 3 named "mail").
Outputs outputs(const nlohmann::json& workspaces, const nlohmann::json& outputs,
                bool* truncated = nullptr);

// The views of `get_tree`: a Wayland window with its `app_id`, an Xwayland one with the class
// and instance of its `window_properties`, each with its `pid` and workspace (a window on the
// scratchpad with the scratchpad's, which no output lists).
Windows windows(const nlohmann::json& tree, bool* truncated = nullptr);
// The members `windows` reads: a tree answer parsed with only these is read the same, and
// the titles, geometry and properties of every container are never built.
inline constexpr std::string_view kTreeMembers[] = {
    "type",    "id",    "name", "nodes",  "floating_nodes",    "fullscreen_mode", "sticky",
    "focused", "shell", "pid",  "app_id", "window_properties", "class",           "instance"};

// What an event of `type` with `payload` says of the table. A window's focus and a workspace's
// are told whole (the window, the workspace with its output); every other change of windows,
// workspaces or outputs is to be asked again, as is a told one that cannot be read. Window
// titles, marks and urgency are in no table; an unknown change counts as a change.
TableChanges eventChanges(i3::EventType type, std::string_view payload);

} // namespace tidemark::linux_platform::wayland::sway
