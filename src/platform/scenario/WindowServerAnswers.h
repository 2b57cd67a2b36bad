#pragma once

#include "foundation/Value.h"
#include "spaces/WindowServer.h"

#include <optional>

// The macOS window server's answers, as scenario files hold them, read into the desktop's
// domain values. What a window server says malformed is read here by the rules its callers
// apply to it: a display or space of the wrong shape drops out, a window fact of the wrong
// type is absent. A macOS adapter would read the live answers through the same functions.
namespace tidemark::sim {

// The display-and-spaces answer: an array of display dictionaries ("Display Identifier",
// "Current Space", "Spaces" with "ManagedSpaceID", "TileLayoutManager" and "pid"). Null when
// there is no answer, it is no array of dictionaries, or a display's current space is -1
// (the window server is between configurations).
DisplayList readDisplays(const std::optional<Value>& answer);

// The window-list answer: window dictionaries front to back (kCGWindowLayer, …), each with
// the "spaces" the spaces-of-windows query gives for its number (the first entry of that
// number answers for all). Without `spacesKnown` (that query is missing) no spaces are read.
SharedWindowList readWindows(const std::optional<Value>& answer, bool spacesKnown);

} // namespace tidemark::sim
