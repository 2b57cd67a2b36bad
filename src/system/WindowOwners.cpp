#include "system/WindowOwners.h"

#include "spaces/WindowShape.h"

namespace tidemark {

namespace {

bool isRealWindow(const WindowInfo& window, bool spacesKnown) {
    if (!window.layer || !window.layer->integral || window.layer->value != 0)
        return false;
    if (!hasWorkingWindowShape(window) || !window.number || !window.ownerPid)
        return false;
    return spacesKnown ? !window.spaces.empty() : window.onScreen;
}

} // namespace

std::unordered_set<std::int32_t> windowOwnerPIDs(const WindowList* windows) {
    std::unordered_set<std::int32_t> owners;
    if (!windows)
        return owners;
    for (const WindowInfo& window : windows->windows)
        if (isRealWindow(window, windows->spacesKnown))
            owners.insert(*window.ownerPid);
    return owners;
}

} // namespace tidemark
