#pragma once

#include "platform/linux/i3/I3Ipc.h"
#include "platform/linux/x11/DesktopModel.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// What the desktop's events tell the answers kept between them, and i3's events followed into
// the tree kept from its last `get_tree` (47 kB with 40 windows): asked again only when an
// event does not say enough itself. Pure functions.
namespace tidemark::linux_platform::desktop {

// What one i3 event says of where the windows are.
struct I3TreeChange {
    enum class Kind {
        // Moves no window and changes no full-screen state: a focus, a title, urgency, a
        // mark, floating; a workspace renamed or moved to another output.
        None,
        // A workspace was made or removed, which only sticky windows, on every workspace, notice.
        WorkspacesChanged,
        WindowClosed,
        // The window's own full-screen mode is now `fullScreen`.
        FullScreen,
        // The tree must be asked again: a window was made or moved (the event does not name
        // its workspace), outputs changed, i3 restarts, or the event was not understood.
        Unknown,
    };
    Kind kind = Kind::Unknown;
    // The X window, for WindowClosed and FullScreen.
    std::int64_t window = 0;
    bool fullScreen = false;
    friend bool operator==(const I3TreeChange&, const I3TreeChange&) = default;
};

// An event of `type` with its payload. The payload is read only as far as the change and,
// for a close or a full-screen change, the container's window and mode.
I3TreeChange readI3TreeChange(i3::EventType type, std::string_view payload);

// A window event's payload read as far as its container's X window, when its change is
// "focus": i3 tells of the focus before the X server has the active window.
std::optional<std::int64_t> readI3FocusedWindow(std::string_view payload);

// Applies `change` to `tree`, recomputing its full-screen workspaces; false when the change
// cannot be followed (the tree must be asked again), `tree` then being as it was or partly
// changed. A full-screen change is followed only for a window the tree holds, and not while
// a container above windows is full screen; one on the scratchpad changes nothing shown.
bool followI3TreeChange(I3Tree& tree, const I3TreeChange& change);

// i3 moved the focus to `workspace` (its container id) on `output`, which now shows it.
struct I3WorkspaceFocus {
    std::int64_t workspace = 0;
    std::string output;
    friend bool operator==(const I3WorkspaceFocus&, const I3WorkspaceFocus&) = default;
};

// A workspace event's payload read as far as the focused workspace's id and output (i3 lists
// both workspaces whole, 15 kB with 40 windows, after them); nothing unless its change is
// "focus" and both are there.
std::optional<I3WorkspaceFocus> readI3WorkspaceFocus(std::string_view payload);

// Shows the focused workspace in `displays` (as i3's workspaces were read); false when none of
// them is that output holding that workspace, and the workspaces must be asked again.
bool followI3WorkspaceFocus(std::vector<Display>& displays, const I3WorkspaceFocus& focus);

// What one turn of desktop events may have changed, for answers kept between them.
struct EventTurn {
    bool fromX = false;
    // Any word from i3, or its connection lost or back.
    bool fromI3 = false;
    // What i3's events said of the tree, in order; those that change nothing are left out.
    // i3 lost or back counts as an Unknown change.
    std::vector<I3TreeChange> i3TreeChanges;
    // i3's focus moves between workspaces, in order.
    std::vector<I3WorkspaceFocus> i3WorkspaceFocus;
    // Any other i3 workspace or output event, or i3 lost or back: its workspaces may have
    // changed otherwise.
    bool i3WorkspacesMayHaveChanged = false;
    // An i3 output event, or i3 lost or back: its outputs may have changed.
    bool i3OutputsMayHaveChanged = false;
    // Client windows whose facts (size, type, state, opacity, desktop, owner) may have
    // changed, and those only now watched, whose changes until now went unheard.
    std::set<std::uint32_t> changedWindows;
    // The client list or its stacking order changed, or a client went.
    bool stackingChanged = false;
};

} // namespace tidemark::linux_platform::desktop
