#pragma once

#include "platform/scenario/Scenario.h"
#include "spaces/WindowServer.h"

#include <atomic>
#include <functional>

namespace tidemark::sim {

// Answers from the scenario, as its reader read them, malformed entries dropped by the same
// rules as live.
class SimWindowServer final : public WindowServer {
public:
    explicit SimWindowServer(const Scenario& scenario)
        : displays_(scenario.displays), windows_(scenario.windows),
          spacesKnown_(scenario.spacesForWindowsAvailable) {}

    DisplayList displays() override { return displays_; }
    SharedWindowList windows() override {
        ++windowListCalls_;
        return windows_;
    }

    // Heard, not carried out: the scenario's windows stay where they are. Windows of `pid`
    // on `from` count as requested.
    WindowMoveResult moveWindows(std::int32_t pid, SpaceId from, SpaceId to) override;
    void setMoveRequestHook(std::function<void(std::int32_t pid, SpaceId to)> hook) {
        moveRequestHook_ = std::move(hook);
    }

    // An event script's answers, in the scenario's form.
    void setDisplays(const std::optional<Value>& answer);
    void setWindows(const std::optional<Value>& answer);
    void setDisplays(DisplayList displays) { displays_ = std::move(displays); }

    // How often the windows were listed, for tests that check what was asked.
    int windowListCalls() const { return windowListCalls_; }

private:
    DisplayList displays_;
    SharedWindowList windows_;
    bool spacesKnown_;
    // Counted from the cleaner's background scans too.
    std::atomic<int> windowListCalls_ = 0;
    std::function<void(std::int32_t, SpaceId)> moveRequestHook_;
};

} // namespace tidemark::sim
