#pragma once

#include "foundation/MainQueue.h"
#include "foundation/NotificationCenter.h"
#include "platform/linux/FdWatcher.h"
#include "platform/linux/NoScriptRunner.h"
#include "platform/linux/PlatformLifetime.h"
#include "platform/linux/apps/DesktopEntries.h"
#include "platform/linux/proc/ProcKernel.h"
#include "platform/linux/proc/PsiMemoryPressure.h"
#include "platform/linux/session/LinuxSystemPower.h"
#include "platform/linux/session/LogindWatcher.h"
#include "platform/linux/session/PortalAppearance.h"
#include "platform/linux/settings/FileSettingsStore.h"
#include "platform/linux/x11/LinuxEventPoster.h"
#include "platform/linux/x11/X11WindowServer.h"
#include "platform/linux/x11/X11Workspace.h"
#include "popover/AppActions.h"
#include "popover/SpacePopoverViewModel.h"
#include "spaces/SpaceObserver.h"
#include "system/ResidualProcessCleaner.h"

#include <memory>
#include <string>

namespace tidemark::linux_platform {

// Every port of the live X11 desktop, on the main queue it is given (the command line's
// poll(2) queue or the live app's Qt queue), which must outlive it. Members are destroyed in
// reverse order: the watchers stop before what they feed goes.
struct LinuxPlatform {
    // A one-shot command does without the second X connection too: about a quarter of its run.
    using Lifetime = linux_platform::Lifetime;

    // Nothing, with one line in `error`, when no X server answers. Without `report` a damaged
    // settings file is reported on standard error.
    static std::unique_ptr<LinuxPlatform> open(MainQueue& mainQueue, std::string& error,
                                               FileSettingsStore::Reporter report = {},
                                               Lifetime lifetime = Lifetime::Session);

    // `connection` answers queries; `events` carries the workspace's event stream (the same
    // connection for a one-shot command, which selects no events).
    LinuxPlatform(MainQueue& mainQueue, std::shared_ptr<XConnection> connection,
                  std::shared_ptr<XConnection> events, FileSettingsStore::Reporter report,
                  Lifetime lifetime = Lifetime::Session);

    SpaceObserverServices services() {
        return {.mainQueue = mainQueue,
                .settings = settings,
                .windowServer = windowServer,
                .workspace = workspace,
                .defaultCenter = defaultCenter,
                .memoryPressure = lifetime == Lifetime::Session ? &memoryPressure : nullptr,
                .appIcons = appIcons};
    }

    // The app icons of the strip and the panel from one source (a UI's, which decodes the
    // icon theme); without one they come from the workspace. Before the views are made.
    void setAppIcons(const AppIconSource* source) {
        appIcons = source;
        spaceApps.setIconSource(source);
    }

    // What the hover panel's model reads and drives on this desktop.
    SpacePopoverServices popoverServices() {
        return {mainQueue, kernel, workspace, cleaner, appActions, &spaceApps};
    }

    MainQueue& mainQueue;
    const Lifetime lifetime;
    std::shared_ptr<XConnection> x;
    std::shared_ptr<XConnection> xEvents;
    FileSettingsStore settings;
    // Rereads the settings file when another process writes it; none in a one-shot command.
    std::unique_ptr<FdWatcher> settingsWatcher;
    NotificationCenter defaultCenter;
    X11WindowServer windowServer;
    X11Workspace workspace;
    LinuxEventPoster poster;
    LogindWatcher logind;
    PsiMemoryPressure memoryPressure{mainQueue};
    linux_proc::ProcKernel kernel;
    LinuxSystemPower power;
    NoScriptRunner scripts;
    ResidualProcessCleaner cleaner{kernel, windowServer, workspace};
    SpaceAppsLookup spaceApps{windowServer, workspace, settings};
    AppActions appActions{workspace, kernel, scripts, power};
    const AppIconSource* appIcons = nullptr;
    PortalAppearance portal{mainQueue, [this](std::optional<std::uint32_t> colorScheme) {
                                workspace.setPortalColorScheme(colorScheme);
                            }};

    // Starts the event streams: X, XSETTINGS and i3 through the workspace, logind and the
    // desktop portal where present.
    void startObserving();
};

} // namespace tidemark::linux_platform
