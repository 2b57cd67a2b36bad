#pragma once

#include "foundation/Geometry.h"

#include <charconv>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidemark {

// A space's identifier as the window server names it; its decimal text is `Space::spaceID`.
using SpaceId = std::int64_t;

// The space id whose own decimal text `text` is; nothing for any other text.
inline std::optional<SpaceId> spaceIdOf(std::string_view text) {
    SpaceId value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || std::to_string(value) != text)
        return std::nullopt;
    return value;
}

enum class SpaceKind { Desktop, FullScreen };

// One space of a display, in the display's order.
struct DisplaySpace {
    SpaceId id = 0;
    SpaceKind kind = SpaceKind::Desktop;
    // The process a full-screen space shows, where the window server names one.
    std::optional<std::int32_t> fullScreenOwner;
    // The window manager's own number and name of the space, where it has them.
    std::optional<std::int64_t> wmNumber;
    std::optional<std::string> wmName;
    // Whether a window on the space asks for the user's attention.
    bool isUrgent = false;
    friend bool operator==(const DisplaySpace&, const DisplaySpace&) = default;
};

struct Display {
    std::string identifier;
    SpaceId currentSpace = 0;
    std::vector<DisplaySpace> spaces;
    friend bool operator==(const Display&, const Display&) = default;
};

// Every display in display order, or null while the window server cannot answer (it failed,
// or it is between configurations and what is shown should stay).
using DisplayList = std::shared_ptr<const std::vector<Display>>;

// A window's layer as reported. A real-valued layer is kept apart from an integer one: the
// snapshot's rule takes any 0 as the application layer, the cleaner's only an integer 0.
struct WindowLayer {
    double value = 0;
    bool integral = true;
    friend bool operator==(const WindowLayer&, const WindowLayer&) = default;
};

// One window, with every fact the real-window rules read. A fact the window server left out
// or reported malformed is absent.
struct WindowInfo {
    std::optional<std::int64_t> number;
    std::optional<std::int32_t> ownerPid;
    std::optional<WindowLayer> layer;
    std::optional<double> alpha;
    // Present only when both edges are known.
    std::optional<Size> size;
    bool onScreen = false;
    // The spaces the window is on; an entry the window server gave that names no space is
    // absent (it still says the window is on some space).
    std::vector<std::optional<SpaceId>> spaces;
    friend bool operator==(const WindowInfo&, const WindowInfo&) = default;
};

struct WindowList {
    // Front to back.
    std::vector<WindowInfo> windows;
    // False where the platform cannot tell which spaces a window is on: `spaces` are then
    // empty and only `onScreen` says anything.
    bool spacesKnown = true;
    // False when the answer held an entry that describes no window at all; the snapshot's
    // rule then reads the whole answer as failed, the cleaner's skips that entry.
    bool allEntriesReadable = true;
};

// Null when the window server could not list the windows.
using SharedWindowList = std::shared_ptr<const WindowList>;

// What a request to move an app's windows to another space did, window by window.
struct WindowMoveResult {
    // Windows the window manager took the request for; the move itself shows in later answers.
    int requested = 0;
    // Windows it refused, or that could not be asked.
    int refused = 0;
    // Windows on every space (sticky), left where they are.
    int leftAlone = 0;
    friend bool operator==(const WindowMoveResult&, const WindowMoveResult&) = default;
};

// The window server: the displays with their spaces, and the windows. Answers are shared
// and immutable; an adapter may hand out the same answer until its desktop changes.
class WindowServer {
public:
    virtual ~WindowServer() = default;

    virtual DisplayList displays() = 0;
    // Desktop elements (the desktop window, its icons) are left out.
    virtual SharedWindowList windows() = 0;

    // Whether this window server makes a space current on request. One that cannot is
    // switched by posting desktop gestures instead.
    virtual bool switchesDirectly() const { return false; }
    // Asks for `space` to become the current space of its display; false when the request
    // could not be made or was refused. The change itself shows in later `displays()`.
    virtual bool makeCurrent(SpaceId /*space*/) { return false; }
    // Asks for the windows of process `pid` on space `from` to move to space `to`. A window
    // server that cannot move windows refuses; nothing is requested when no window matches.
    virtual WindowMoveResult moveWindows(std::int32_t /*pid*/, SpaceId /*from*/, SpaceId /*to*/) {
        return {.refused = 1};
    }
};

} // namespace tidemark
