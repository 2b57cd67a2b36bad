#pragma once

#include "platform/linux/DesktopLimits.h"
#include "platform/linux/i3/I3Ipc.h"
#include "spaces/WindowServer.h"

#include <cstdint>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// Translations of what a window manager reports into the window server's terms. Pure
// functions: no X, no sockets, so the reading rules are testable on their own.
namespace tidemark::linux_platform::desktop {

// Spaces each window is on, by window id. A window on every space lists them all.
using WindowSpaces = std::map<std::int64_t, std::vector<std::int64_t>>;

// Where given, `truncated` is set when something was cut at `kMaxDesktopItems`.

// i3: one display per active output in `get_outputs` order, each with the workspaces of
// `get_workspaces` that sit on it in their listed order; the visible one is current, and
// those i3 calls urgent are. The space id is the workspace's container id. Entries of the wrong
// shape are skipped, and so is an output that shows none of its workspaces: it has no current space
// to show.
std::vector<Display> i3DisplaySpaces(const nlohmann::json& workspaces,
                                     const nlohmann::json& outputs, bool* truncated = nullptr);

// A window manager's own number and name of a space.
struct WmLabel {
    std::optional<std::int64_t> number;
    std::optional<std::string> name;
    friend bool operator==(const WmLabel&, const WmLabel&) = default;
};

// i3: a workspace's `num` (negative: none) and name. By i3's convention "N:text" is number N
// named "text", and a name that is only its number names nothing more; any other name of a
// numbered workspace is its name as a whole.
WmLabel i3WorkspaceLabel(std::optional<std::int64_t> num, std::string_view name);

// Spaces whose only window fills the screen, each with that window.
struct SpaceWindow {
    std::int64_t window = 0;
    std::vector<SpaceId> spaces;
    bool fullScreen = false;
    // It asks for attention (EWMH's demands-attention state or ICCCM's urgency hint).
    bool urgent = false;
};
std::map<SpaceId, std::int64_t> fullScreenSpaces(const std::vector<SpaceWindow>& windows);

// Marks the spaces of `owners` full screen, each showing its owner where known.
void markFullScreen(std::vector<Display>& displays,
                    const std::map<SpaceId, std::optional<std::int32_t>>& owners);

// Marks urgent every space that holds an urgent window.
void markUrgent(std::vector<Display>& displays, const std::vector<SpaceWindow>& windows);

// What i3's `get_tree` tells.
struct I3Tree {
    // The workspaces of the X windows inside them (tiled and floating, at any depth). Sticky
    // windows are on every workspace of the tree; windows on the scratchpad are on the
    // scratchpad's own workspace only, which no display lists.
    WindowSpaces windowSpaces;
    // Workspaces whose only window is full screen (it, or a container below the workspace
    // holding it, has a `fullscreen_mode`), with that window.
    std::map<SpaceId, std::int64_t> fullScreenWindows;
    // What following i3's events needs besides: the workspaces (not the scratchpad) in tree
    // order, the sticky and the full-screen windows (not the scratchpad's), and whether a
    // container holding windows is full screen, which their own events do not show.
    std::vector<SpaceId> workspaces;
    std::set<std::int64_t> stickyWindows;
    std::set<std::int64_t> fullScreen;
    bool fullScreenAboveWindows = false;
};
I3Tree i3Tree(const nlohmann::json& tree, bool* truncated = nullptr);
// `fullScreenWindows` of a tree from its windows, their workspaces and full-screen flags.
std::map<SpaceId, std::int64_t> i3FullScreenWindows(const I3Tree& tree);
// The members `i3Tree` reads: a tree answer parsed with only these is read the same.
inline constexpr std::string_view kI3TreeMembers[] = {
    "type", "id", "name", "window", "sticky", "fullscreen_mode", "nodes", "floating_nodes"};

// Which windows of an app a move to another space asks for, and how many of its windows on
// the space stay because they are on every space.
struct MovePlan {
    std::vector<std::int64_t> windows;
    int leftAlone = 0;
    friend bool operator==(const MovePlan&, const MovePlan&) = default;
};

// i3: the X windows on workspace `from` (tiled and floating; not the scratchpad's).
std::vector<std::int64_t> i3WindowsOn(const nlohmann::json& tree, SpaceId from);
// i3: the containers (their `id`) of the windows on workspace `from` whose owner, by
// `owners` (X window to pid), is `pid`; a sticky one stays.
MovePlan i3MovePlan(const nlohmann::json& tree, SpaceId from, std::int32_t pid,
                    const std::map<std::int64_t, std::int32_t>& owners);

// EWMH: one client window with what decides whether it moves.
struct DesktopWindow {
    std::int64_t window = 0;
    std::optional<std::int32_t> pid;
    std::optional<std::uint32_t> desktop;
    // _NET_WM_STATE_STICKY, or the desktop 0xFFFFFFFF.
    bool sticky = false;
};
// The windows of `pid` on desktop `from` (0-based); those on every desktop stay.
MovePlan ewmhMovePlan(const std::vector<DesktopWindow>& windows, std::int32_t pid,
                      std::uint32_t from);

// Plain EWMH: one display holding `desktopCount` desktops with ids 1…N, numbered so and
// named by `names` in order; none while the current desktop is unknown or out of range.
std::vector<Display> ewmhDisplaySpaces(const std::string& displayID, std::uint32_t desktopCount,
                                       std::optional<std::uint32_t> currentDesktop,
                                       const std::vector<std::optional<std::string>>& names = {});

// The entries of a _NET_DESKTOP_NAMES value (NUL-separated UTF-8), up to `kMaxDesktopItems`,
// each bounded and repaired; an empty entry names nothing. When the value was read only in
// part (`cut`), its last entry may be cut short and is dropped.
std::vector<std::optional<std::string>> ewmhDesktopNames(std::string_view bytes, bool cut);

// The desktop value 0xFFFFFFFF means every desktop.
inline constexpr std::uint32_t kAllDesktops = 0xFFFFFFFFu;
std::vector<std::int64_t> ewmhSpacesOfDesktop(std::uint32_t desktop, std::uint32_t desktopCount);

} // namespace tidemark::linux_platform::desktop
