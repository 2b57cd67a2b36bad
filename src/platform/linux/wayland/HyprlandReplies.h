#pragma once

#include "platform/linux/wayland/Compositor.h"

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Hyprland's answers (`hyprctl`'s JSON: `j/monitors`, `j/workspaces`, `j/clients`) and events
// (the `.socket2.sock` lines) read into the desktop table, and its requests written. Pure
// functions; where given, `truncated` is set when a list was cut at kMaxDesktopItems.
namespace tidemark::linux_platform::wayland::hyprland {

// The request socket of the instance `signature`: under $XDG_RUNTIME_DIR/hypr/ for current
// Hyprland, under /tmp/hypr/ for older; the events socket beside it. Nothing for a signature
// that could leave those folders.
struct SocketPaths {
    std::string requests;
    std::string events;
};
std::vector<SocketPaths> socketCandidates(std::string_view runtimeDir, std::string_view signature);

// The enabled monitors in order, each with its workspaces: numbered ones by id, then named
// ones (negative ids) in the order they were made; special workspaces, which no monitor shows
// as a desktop, are left out. The monitor's active workspace is the visible one.
Outputs outputs(const nlohmann::json& monitors, const nlohmann::json& workspaces,
                bool* truncated = nullptr);

// The mapped clients: `address` as the id, `class` as the app id, `pid`, the workspace, pinned
// as sticky, full screen (the current bit mask or the older flag and mode), focused when first
// in the focus history.
Windows windows(const nlohmann::json& clients, bool* truncated = nullptr);

// The request that shows workspace `id` of a `j/workspaces` answer: by number, or by name
// for a named one; nothing for a workspace it does not list or a name that cannot be sent.
std::optional<std::string> switchRequest(const nlohmann::json& workspaces, SpaceId id);

// The request that closes window `id`.
std::string closeRequest(std::int64_t id);
// Moves window `id` to the workspace `to` of a `j/workspaces` answer without following it
// (by number, else by name); nothing when the answer lists no such workspace or its name
// cannot be written in the request.
std::optional<std::string> moveRequest(const nlohmann::json& workspaces, std::int64_t id,
                                       SpaceId to);

// What an event line ("name>>data") may have changed; an event of no interest changes
// nothing.
TableChanges eventChanges(std::string_view line);

} // namespace tidemark::linux_platform::wayland::hyprland
