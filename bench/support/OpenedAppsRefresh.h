#pragma once

#include "spaces/WindowServer.h"

#include <benchmark/benchmark.h>
#include <cstddef>

namespace tidemark::bench {

// What one opened-apps refresh asks of a live platform's window server and workspace: the
// displays, the window list with the spaces of every window, and the running applications.
// Answers how many window-to-space placements the list had.
template <typename Platform> std::size_t openedAppsRefresh(Platform& platform) {
    auto& server = platform.windowServer;
    const auto displays = server.displays();
    const auto windows = server.windows();
    const auto apps = platform.workspace.runningApplications();
    std::size_t placed = 0;
    if (windows)
        for (const auto& window : windows->windows)
            if (window.layer == WindowLayer{} && window.ownerPid)
                placed += window.spaces.size();
    benchmark::DoNotOptimize(displays);
    benchmark::DoNotOptimize(apps);
    return placed;
}

} // namespace tidemark::bench
