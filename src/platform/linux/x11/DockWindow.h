#pragma once

#include "platform/linux/x11/DockPlacement.h"
#include "platform/linux/x11/XConnection.h"

namespace tidemark::linux_platform {

// Declares `window` (not yet mapped) a dock that is on every desktop, stays above, is left
// out of task bars and pagers, and keeps `strut` free; waits until the server has it, so a
// map request on another connection comes after.
void declareDock(XConnection& x, xcb_window_t window, const std::optional<TopStrut>& strut);

// Changes the band the dock keeps free (the window moved or changed width).
void setDockStrut(XConnection& x, xcb_window_t window, const std::optional<TopStrut>& strut);

} // namespace tidemark::linux_platform
