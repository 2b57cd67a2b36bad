#pragma once

#include "platform/linux/apps/DesktopEntries.h"
#include "platform/linux/x11/WindowFacts.h"
#include "spaces/Workspace.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tidemark::linux_platform {

// Who owned a client window when the workspace first saw it.
struct WindowOwner {
    std::int32_t pid = 0;
    SeenOwner start;
};
using WindowOwners = std::map<xcb_window_t, WindowOwner>;

// One process that owns client windows, as a running application, and its windows.
struct ClientApp {
    RunningApplication application;
    std::vector<xcb_window_t> windows;
};
using ClientApps = std::map<std::int32_t, ClientApp>;

// The X class and instance of this program's windows (Qt takes the class from the
// application's name and the instance from its first argument).
inline constexpr const char* kOwnWindowClass = "Tidemark";
inline constexpr const char* kOwnWindowInstance = "tidemark";

// The running applications of a client table: each process that owns client windows is an
// app of its own (two terminals are two apps under one key), identified and named by the
// desktop entry its windows' class finds, else by the class itself. This program's own
// process (`ownPid`) is none of them; the windows of another instance of it carry
// `ownKey`, which no listing shows.
ClientApps groupClientApps(const std::vector<WindowFacts>& clients, const DesktopEntries& entries,
                           const WindowOwners& owners, std::int32_t ownPid,
                           const std::string& ownKey);

} // namespace tidemark::linux_platform
