#pragma once

#include "foundation/NotificationCenter.h"
#include "foundation/SettingsStore.h"
#include "foundation/VirtualMainQueue.h"
#include "platform/sim/Scenario.h"
#include "platform/sim/SimActionLog.h"
#include "platform/sim/SimHotKeyService.h"
#include "platform/sim/SimKernel.h"
#include "platform/sim/SimMemoryPressure.h"
#include "platform/sim/SimSystemPower.h"
#include "platform/sim/SimWindowServer.h"
#include "platform/sim/SimWorkspace.h"
#include "popover/AppActions.h"
#include "popover/SpacePopoverViewModel.h"
#include "system/ResidualProcessCleaner.h"

namespace tidemark::sim {

// Every port of a simulated desktop, built from one scenario, on a virtual clock.
struct SimPlatform {
    explicit SimPlatform(Scenario s)
        : scenario(std::move(s)), settings(scenario.settings), windowServer(scenario),
          workspace(scenario), kernel(scenario) {
        workspace.setQuitRequestHook([this](std::int32_t pid, bool forced, bool delivered) {
            actions.record(SimAction::quitRequest(pid, forced, delivered));
        });
        // An app that quits takes its process with it.
        workspace.setAppQuitHook([this](std::int32_t pid) { kernel.removeProcess(pid); });
        kernel.setSignalHook([this](std::int32_t pid, Signal signal, bool delivered) {
            actions.record(SimAction::signalSent(pid, static_cast<int>(signal), delivered));
        });
    }

    // What the popover model needs of this desktop.
    SpacePopoverServices popoverServices() {
        return {mainQueue, kernel, workspace, cleaner, appActions};
    }

    SimPlatform(const SimPlatform&) = delete;
    SimPlatform& operator=(const SimPlatform&) = delete;

    Scenario scenario;
    VirtualMainQueue mainQueue;
    SettingsStore settings;
    NotificationCenter defaultCenter;
    SimWindowServer windowServer;
    SimWorkspace workspace;
    SimMemoryPressure memoryPressure{mainQueue};
    SimHotKeyService hotKeys;
    SimKeyboardLayout keyboardLayout;
    SimActionLog actions{mainQueue};
    SimKernel kernel;
    SimSystemPower power{actions};
    SimScriptRunner scripts{actions};
    ResidualProcessCleaner cleaner{kernel, windowServer, workspace};
    AppActions appActions{workspace, kernel, scripts, power};
};

} // namespace tidemark::sim
