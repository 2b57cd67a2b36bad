#pragma once

#include "platform/linux/wayland/Compositor.h"

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

// niri's IPC in the shapes of its `niri-ipc` crate: one JSON request a line, one JSON reply a
// line (`{"Ok": …}` or `{"Err": "…"}`), and after `"EventStream"` one event a line. Pure
// functions; where given, `truncated` is set when a list was cut at kMaxDesktopItems.
namespace tidemark::linux_platform::wayland::niri {

inline constexpr std::string_view kVersionRequest = "\"Version\"\n";
inline constexpr std::string_view kWorkspacesRequest = "\"Workspaces\"\n";
inline constexpr std::string_view kWindowsRequest = "\"Windows\"\n";
inline constexpr std::string_view kEventStreamRequest = "\"EventStream\"\n";

// Shows the workspace with id `id` on its output.
std::string focusWorkspaceRequest(SpaceId id);
std::string closeWindowRequest(std::int64_t id);
// Moves the window to the workspace with that id, the focus staying where it is.
std::string moveWindowRequest(std::int64_t window, SpaceId workspace);

// The payload of an `Ok` reply of `kind` ({"Ok": {"Workspaces": […]}}); nothing for an error
// or another reply.
std::optional<nlohmann::json> okPayload(const nlohmann::json& reply, const char* kind);
// Whether the reply is {"Ok": "Handled"}.
bool handled(const nlohmann::json& reply);

// The outputs the workspaces name, by name, each with its workspaces in their order on it
// (`idx`, which is also the number users see); a workspace on no output is on no display.
Outputs outputs(const nlohmann::json& workspaces, bool* truncated = nullptr);

// The windows with their `app_id`, `pid`, `workspace_id` and focus.
Windows windows(const nlohmann::json& windows, bool* truncated = nullptr);

// What an event line may have changed, from its name alone (the object's only key); an event
// of no interest changes nothing.
TableChanges eventChanges(std::string_view line);

} // namespace tidemark::linux_platform::wayland::niri
