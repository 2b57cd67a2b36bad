#pragma once

#include "foundation/Value.h"
#include "platform/linux/i3/I3Ipc.h"

#include <cstdint>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

// Translations of what a window manager reports into the window server's shape. Pure
// functions: no X, no sockets, so the reading rules are testable on their own.
namespace tidemark::linux_platform::desktop {

// Spaces each window is on, by window id. A window on every space lists them all.
using WindowSpaces = std::map<std::int64_t, std::vector<std::int64_t>>;

// What a window manager reports is read up to this many outputs, workspaces, desktops and
// windows: a manager (or any client that rewrites the root's window lists) that reports more
// is broken or hostile, and the rest is ignored. Where given, `truncated` is set when
// something was.
inline constexpr std::size_t kMaxDesktopItems = 1024;

// i3: one display per active output in `get_outputs` order, each with the workspaces of
// `get_workspaces` that sit on it in their listed order; the visible one is current. The
// space id is the workspace's container id. Entries of the wrong shape are skipped.
Value i3DisplaySpaces(const nlohmann::json& workspaces, const nlohmann::json& outputs,
                      bool* truncated = nullptr);

// i3: the workspaces of `get_tree` with the X windows inside them (tiled and floating, at
// any depth). Sticky windows are on every workspace of the tree; windows on the scratchpad
// are on the scratchpad's own workspace only, which no display lists.
WindowSpaces i3WindowSpaces(const nlohmann::json& tree, bool* truncated = nullptr);

// What one turn of desktop events may have changed, for answers kept between them.
struct EventTurn {
    bool fromX = false;
    // An i3 event that may have moved windows between workspaces (see below).
    bool i3WindowsMayHaveMoved = false;
};

// i3: whether an event of `type` with its "change" may have moved windows between
// workspaces. A switch brings workspace and window focus events, which move none; an event
// whose change is unknown counts as a move.
bool i3EventMayMoveWindows(i3::EventType type, const std::optional<std::string>& change);

// Plain EWMH: one display holding `desktopCount` desktops with ids 1…N.
Value ewmhDisplaySpaces(const std::string& displayID, std::uint32_t desktopCount,
                        std::optional<std::uint32_t> currentDesktop);

// The desktop value 0xFFFFFFFF means every desktop.
inline constexpr std::uint32_t kAllDesktops = 0xFFFFFFFFu;
std::vector<std::int64_t> ewmhSpacesOfDesktop(std::uint32_t desktop, std::uint32_t desktopCount);

// The windows (of `windowSpaces`) on any of `spaceIds`, in window-id order.
std::vector<std::int64_t> windowsOnSpaces(const WindowSpaces& windowSpaces,
                                          const std::vector<std::int64_t>& spaceIds);

} // namespace tidemark::linux_platform::desktop
