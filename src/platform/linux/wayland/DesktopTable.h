#pragma once

#include "platform/linux/apps/DesktopEntries.h"
#include "spaces/WindowServer.h"
#include "spaces/Workspace.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// What a Wayland compositor tells about its desktop, in terms common to sway, Hyprland and
// niri: each compositor's adapter fills this table from its own answers, and the window
// server and workspace adapters read only the table. The rules over it are pure functions.
namespace tidemark::linux_platform::wayland {

struct WorkspaceEntry {
    // The compositor's id of the workspace, the same for as long as the workspace exists.
    SpaceId id = 0;
    // The number and name users see, where the compositor has them.
    std::optional<std::int64_t> number = {};
    std::optional<std::string> name = {};
    // Shown on its output.
    bool visible = false;
    // Holds the keyboard focus.
    bool focused = false;
    bool urgent = false;
    friend bool operator==(const WorkspaceEntry&, const WorkspaceEntry&) = default;
};

struct OutputEntry {
    std::string name = {};
    // In the compositor's order.
    std::vector<WorkspaceEntry> workspaces = {};
    friend bool operator==(const OutputEntry&, const OutputEntry&) = default;
};

struct WindowEntry {
    std::int64_t id = 0;
    std::optional<std::int32_t> pid = {};
    // A Wayland window's app id, or an Xwayland window's class and instance.
    std::string appId = {};
    std::string instance = {};
    // The workspace it is on; none when it is on none. A workspace no output lists (sway's
    // scratchpad) keeps the window its app's all the same.
    std::optional<SpaceId> workspace = {};
    // On every workspace of its workspace's output.
    bool sticky = false;
    bool fullScreen = false;
    bool focused = false;
    friend bool operator==(const WindowEntry&, const WindowEntry&) = default;
};

using Outputs = std::vector<OutputEntry>;
using Windows = std::vector<WindowEntry>;

// A workspace shown on output `output` that took the focus, as an event tells it.
struct ShownWorkspace {
    std::string output = {};
    // Its id, number and name.
    WorkspaceEntry workspace = {};
    friend bool operator==(const ShownWorkspace&, const ShownWorkspace&) = default;
};

// The table once `focused` took the keyboard focus: the one focused window. Nothing when the
// table holds no window of that id, owner and app id: it is out of date then.
std::optional<Windows> withFocusedWindow(const Windows& windows, const WindowEntry& focused);

// The table once `shown` was shown and focused: the one visible workspace of its output and the
// one focused anywhere. Nothing when the table holds no workspace of that id, number and name on
// that output: it is out of date then.
std::optional<Outputs> withShownWorkspace(const Outputs& outputs, const ShownWorkspace& shown);

// One display per output that shows a workspace (the first visible one is current), its
// workspaces in order with the compositor's number and name. A workspace whose only window
// is full screen is a full-screen space showing that window's process.
std::vector<Display> displaysOf(const Outputs& outputs, const Windows& windows);

// Every window in the table's order, as normal windows of unknown size on their workspace (a
// sticky one on every workspace of that output), on screen where one of them is shown.
WindowList windowListOf(const Outputs& outputs, const Windows& windows);

// The process that owned a window when it was first seen, for apps whose pid may pass on.
struct SeenWindowOwner {
    std::int32_t pid = 0;
    SeenOwner start;
};
using SeenOwners = std::map<std::int64_t, SeenWindowOwner>;

struct TableApp {
    RunningApplication application;
    std::vector<std::int64_t> windows;
};

// Each process that owns windows is one app, named through the desktop entries as on X11
// (`nameApp` over the app id, or the class and instance); its seen owner is the one its
// windows agree on, none where they name different processes.
std::map<std::int32_t, TableApp> appsOf(const Windows& windows, const DesktopEntries& entries,
                                        const SeenOwners& owners = {});

} // namespace tidemark::linux_platform::wayland
