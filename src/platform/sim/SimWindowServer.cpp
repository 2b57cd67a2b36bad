#include "platform/sim/SimWindowServer.h"

#include "platform/scenario/WindowServerAnswers.h"

#include <algorithm>

namespace tidemark::sim {

void SimWindowServer::setDisplays(const std::optional<Value>& answer) {
    displays_ = readDisplays(answer);
}

void SimWindowServer::setWindows(const std::optional<Value>& answer) {
    windows_ = readWindows(answer, spacesKnown_);
}

WindowMoveResult SimWindowServer::moveWindows(std::int32_t pid, SpaceId from, SpaceId to) {
    if (moveRequestHook_)
        moveRequestHook_(pid, to);
    WindowMoveResult result;
    if (!windows_)
        return result;
    for (const auto& window : windows_->windows)
        if (window.ownerPid == pid &&
            std::find(window.spaces.begin(), window.spaces.end(), std::optional<SpaceId>(from)) !=
                window.spaces.end())
            ++result.requested;
    return result;
}

} // namespace tidemark::sim
