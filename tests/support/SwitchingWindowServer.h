#pragma once

#include "spaces/WindowServer.h"

#include <tuple>
#include <vector>

namespace tidemark::testing {

// A window server with no displays or windows that records the direct switches asked of it;
// it switches directly only when `direct` is set and then takes requests while `accepts`. It
// also records the moves of windows asked of it and answers them with `moveAnswer`.
class SwitchingWindowServer final : public WindowServer {
public:
    DisplayList displays() override { return nullptr; }
    SharedWindowList windows() override { return nullptr; }
    bool switchesDirectly() const override { return direct; }
    bool makeCurrent(SpaceId space) override {
        requests.push_back(space);
        return accepts;
    }
    WindowMoveResult moveWindows(std::int32_t pid, SpaceId from, SpaceId to) override {
        moves.emplace_back(pid, from, to);
        return moveAnswer;
    }

    bool direct = false;
    bool accepts = true;
    std::vector<SpaceId> requests;
    std::vector<std::tuple<std::int32_t, SpaceId, SpaceId>> moves;
    WindowMoveResult moveAnswer{.requested = 1};
};

} // namespace tidemark::testing
