#pragma once

#include "platform/linux/wayland/DesktopTable.h"

#include <iterator>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace tidemark::linux_platform::wayland {

// What the compositor's events say may have changed in its table: parts to ask again, and
// what they told whole, for a kept part to take without asking.
struct TableChanges {
    // A workspace was shown, made, removed, renamed or moved.
    bool workspaces = false;
    // An output came, went or changed.
    bool outputs = false;
    // A window came, went, moved, changed full-screen state, or took the focus untold.
    bool windows = false;
    // The window that took the focus last.
    std::optional<WindowEntry> focusedWindow = {};
    // The workspaces shown, in the order told: each output shows the last one told of it.
    std::vector<ShownWorkspace> shownWorkspaces = {};

    bool touchesWindows() const { return windows || focusedWindow; }
    bool touchesWorkspaces() const { return workspaces || !shownWorkspaces.empty(); }
    bool any() const { return touchesWorkspaces() || outputs || touchesWindows(); }
    // `other` told later.
    TableChanges& operator|=(TableChanges other) {
        workspaces = workspaces || other.workspaces;
        outputs = outputs || other.outputs;
        windows = windows || other.windows;
        if (other.focusedWindow)
            focusedWindow = std::move(other.focusedWindow);
        shownWorkspaces.insert(shownWorkspaces.end(),
                               std::make_move_iterator(other.shownWorkspaces.begin()),
                               std::make_move_iterator(other.shownWorkspaces.end()));
        return *this;
    }
    friend bool operator==(const TableChanges&, const TableChanges&) = default;
};

// A compositor's event stream on a connection of its own.
class CompositorEvents {
public:
    virtual ~CompositorEvents() = default;
    // Readable when events arrived.
    virtual int fd() const = 0;
    // What the events that arrived may have changed; never blocks.
    virtual TableChanges take() = 0;
    // The compositor closed the stream or sent what cannot be read.
    virtual bool ended() const = 0;
};

// One compositor's IPC: its answers parsed into the table, and its requests. Each call is
// bounded in time; the caller makes them one at a time.
class Compositor {
public:
    virtual ~Compositor() = default;

    // The compositor's name as users know it ("sway").
    virtual std::string_view name() const = 0;
    // Nothing when it does not answer.
    virtual std::optional<Outputs> readOutputs() = 0;
    virtual std::optional<Windows> readWindows() = 0;
    // Whether it takes requests now.
    virtual bool isReachable() = 0;
    // Shows workspace `id` on its output; false when refused or not delivered.
    virtual bool focusWorkspace(SpaceId id) = 0;
    // Asks the window's client to close it.
    virtual bool closeWindow(std::int64_t id) = 0;
    // Moves the window to workspace `to` without following it; false when refused, not
    // delivered, or not offered by this compositor.
    virtual bool moveWindow(std::int64_t /*id*/, SpaceId /*to*/) { return false; }
    // Nothing when it cannot subscribe now.
    virtual std::unique_ptr<CompositorEvents> subscribe() = 0;
};

} // namespace tidemark::linux_platform::wayland
