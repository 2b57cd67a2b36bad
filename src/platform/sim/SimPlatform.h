#pragma once

#include "foundation/NotificationCenter.h"
#include "foundation/SettingsStore.h"
#include "foundation/VirtualMainQueue.h"
#include "platform/sim/Scenario.h"
#include "platform/sim/SimHotKeyService.h"
#include "platform/sim/SimMemoryPressure.h"
#include "platform/sim/SimWindowServer.h"
#include "platform/sim/SimWorkspace.h"

namespace tidemark::sim {

// Every port of a simulated desktop, built from one scenario, on a virtual clock.
struct SimPlatform {
    explicit SimPlatform(Scenario s)
        : scenario(std::move(s)), settings(scenario.settings), windowServer(scenario),
          workspace(scenario) {}

    Scenario scenario;
    VirtualMainQueue mainQueue;
    SettingsStore settings;
    NotificationCenter defaultCenter;
    SimWindowServer windowServer;
    SimWorkspace workspace;
    SimMemoryPressure memoryPressure{mainQueue};
    SimHotKeyService hotKeys;
    SimKeyboardLayout keyboardLayout;
};

} // namespace tidemark::sim
