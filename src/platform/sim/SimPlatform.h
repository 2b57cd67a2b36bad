#pragma once

#include "foundation/MainQueue.h"
#include "foundation/NotificationCenter.h"
#include "foundation/SettingsStore.h"
#include "foundation/VirtualMainQueue.h"
#include "platform/scenario/Scenario.h"
#include "platform/sim/SimActionLog.h"
#include "platform/sim/SimHotKeyService.h"
#include "platform/sim/SimKernel.h"
#include "platform/sim/SimMemoryPressure.h"
#include "platform/sim/SimSystemPower.h"
#include "platform/sim/SimWindowServer.h"
#include "platform/sim/SimWorkspace.h"
#include "popover/AppActions.h"
#include "popover/SpacePopoverViewModel.h"
#include "spaces/SpaceObserver.h"
#include "system/ResidualProcessCleaner.h"

namespace tidemark::sim {

// The ports a scenario answers, on a main queue and over a settings store that the caller
// owns and that outlive them.
struct ScenarioPorts {
    ScenarioPorts(const Scenario& scenario, MainQueue& queue, SettingsStore& store)
        : windowServer(scenario), workspace(scenario), memoryPressure(queue), servedQueue_(queue),
          servedSettings_(store) {}

    SpaceObserverServices services() {
        return {.mainQueue = servedQueue_,
                .settings = servedSettings_,
                .windowServer = windowServer,
                .workspace = workspace,
                .defaultCenter = defaultCenter,
                .memoryPressure = &memoryPressure};
    }

    NotificationCenter defaultCenter;
    SimWindowServer windowServer;
    SimWorkspace workspace;
    SimMemoryPressure memoryPressure;

private:
    MainQueue& servedQueue_;
    SettingsStore& servedSettings_;
};

// The scenario itself, its virtual clock and its in-memory settings; built before the ports
// that use them.
struct SimClockAndSettings {
    explicit SimClockAndSettings(Scenario s)
        : scenario(std::move(s)), settings(scenario.settings) {}

    Scenario scenario;
    VirtualMainQueue mainQueue;
    SettingsStore settings;
};

// Every port of a simulated desktop, built from one scenario, on a virtual clock.
struct SimPlatform : SimClockAndSettings, ScenarioPorts {
    explicit SimPlatform(Scenario s)
        : SimClockAndSettings(std::move(s)), ScenarioPorts(scenario, mainQueue, settings),
          kernel(scenario) {
        workspace.setQuitRequestHook([this](std::int32_t pid, bool forced, bool delivered) {
            actions.record(SimAction::quitRequest(pid, forced, delivered));
        });
        // An app that quits takes its process with it.
        workspace.setAppQuitHook([this](std::int32_t pid) { kernel.removeProcess(pid); });
        windowServer.setMoveRequestHook([this](std::int32_t pid, SpaceId to) {
            actions.record(SimAction::moveRequest(pid, to));
        });
        kernel.setSignalHook([this](std::int32_t pid, Signal signal, bool delivered) {
            actions.record(SimAction::signalSent(pid, static_cast<int>(signal), delivered));
        });
    }

    // What the popover model needs of this desktop.
    SpacePopoverServices popoverServices() {
        return {mainQueue, kernel, workspace, cleaner, appActions, &spaceApps};
    }

    SimPlatform(const SimPlatform&) = delete;
    SimPlatform& operator=(const SimPlatform&) = delete;

    SimHotKeyService hotKeys;
    SimKeyboardLayout keyboardLayout;
    SimActionLog actions{mainQueue};
    SimKernel kernel;
    SimSystemPower power{actions};
    SimScriptRunner scripts{actions};
    ResidualProcessCleaner cleaner{kernel, windowServer, workspace};
    SpaceAppsLookup spaceApps{windowServer, workspace, settings};
    AppActions appActions{workspace, kernel, scripts, power};
};

} // namespace tidemark::sim
