#pragma once

#include "app/AppDelegate.h"
#include "platform/sim/SimPlatform.h"

#include <memory>
#include <string>

namespace tidemark::testing {

// A simulated desktop from inline scenario JSON, with the app delegate built over it.
struct SimHarness {
    explicit SimHarness(const std::string& scenarioJson)
        : platform(sim::parseScenario(scenarioJson, "test scenario")),
          delegate(AppDelegate::create(platform.services())) {}

    SpaceObserverServices services() { return platform.services(); }
    SpaceObserver& observer() { return delegate->spaceObserver(); }
    const std::vector<Space>& spaces() const { return delegate->latestSpaces(); }
    void launch() { delegate->applicationDidFinishLaunching(); }

    sim::SimPlatform platform;
    std::shared_ptr<AppDelegate> delegate;
};

} // namespace tidemark::testing
