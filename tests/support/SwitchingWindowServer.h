#pragma once

#include "spaces/WindowServer.h"

#include <vector>

namespace tidemark::testing {

// A window server with no displays or windows that records the direct switches asked of it;
// it switches directly only when `direct` is set and then takes requests while `accepts`.
class SwitchingWindowServer final : public WindowServer {
public:
    DisplayList displays() override { return nullptr; }
    SharedWindowList windows() override { return nullptr; }
    bool switchesDirectly() const override { return direct; }
    bool makeCurrent(SpaceId space) override {
        requests.push_back(space);
        return accepts;
    }

    bool direct = false;
    bool accepts = true;
    std::vector<SpaceId> requests;
};

} // namespace tidemark::testing
