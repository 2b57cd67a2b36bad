#pragma once

#include "platform/scenario/Scenario.h"
#include "spaces/WindowServer.h"

#include <unordered_map>

namespace tidemark::sim {

// Answers every window-server query from the scenario, malformed entries included.
class SimWindowServer final : public WindowServer {
public:
    explicit SimWindowServer(const Scenario& scenario);

    std::int32_t defaultConnection() override { return 1; }
    std::optional<Value> copyManagedDisplaySpaces(std::int32_t connection) override;
    std::optional<Value> copyWindowInfo(std::uint32_t options,
                                        std::uint32_t relativeToWindow) override;
    std::optional<SpacesForWindows> lookupSpacesForWindows() override;
    std::optional<WindowsWithOptionsAndTags> lookupWindowsWithOptionsAndTags() override;

    void setDisplays(std::optional<Value> displays) { displays_ = std::move(displays); }
    // The scenario's form: each window dictionary may carry its "spaces" member.
    void setWindows(std::optional<Value> windows);

    // How often each query ran, for tests that check what was asked.
    int spacesForWindowsCalls() const { return spacesForWindowsCalls_; }
    int windowInfoCalls() const { return windowInfoCalls_; }

private:
    struct Entry {
        std::optional<std::int64_t> number;
        std::optional<Value> spaces;
    };

    std::optional<Value> displays_;
    std::optional<Value> windowList_; // as reported: without the "spaces" members
    std::vector<Entry> entries_;
    // The first entry of each window number, for the one-window query.
    std::unordered_map<std::int64_t, std::size_t> entryOfNumber_;
    bool spacesForWindowsAvailable_;
    bool windowsOnSpacesAvailable_;
    int spacesForWindowsCalls_ = 0;
    int windowInfoCalls_ = 0;
};

} // namespace tidemark::sim
