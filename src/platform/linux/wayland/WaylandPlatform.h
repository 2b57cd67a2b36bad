#pragma once

#include "foundation/MainQueue.h"
#include "foundation/NotificationCenter.h"
#include "platform/linux/DesktopSession.h"
#include "platform/linux/FdWatcher.h"
#include "platform/linux/NoScriptRunner.h"
#include "platform/linux/PlatformLifetime.h"
#include "platform/linux/proc/ProcKernel.h"
#include "platform/linux/proc/PsiMemoryPressure.h"
#include "platform/linux/session/LinuxSystemPower.h"
#include "platform/linux/session/LogindWatcher.h"
#include "platform/linux/session/PortalAppearance.h"
#include "platform/linux/settings/FileSettingsStore.h"
#include "platform/linux/wayland/CompositorEventPoster.h"
#include "platform/linux/wayland/CompositorSession.h"
#include "platform/linux/wayland/WaylandWindowServer.h"
#include "platform/linux/wayland/WaylandWorkspace.h"
#include "popover/AppActions.h"
#include "popover/SpacePopoverViewModel.h"
#include "spaces/SpaceObserver.h"
#include "system/ResidualProcessCleaner.h"

#include <memory>
#include <string>

namespace tidemark::linux_platform {

// Every port of a live Wayland desktop, read through its compositor's IPC, on the main queue it
// is given, which must outlive it. The members a command uses have the names of
// `LinuxPlatform`'s, so a command serves either.
struct WaylandPlatform {
    // The platform of a Wayland `session`; nothing, with one line in `error`, when its
    // compositor does not answer. Without `report` a damaged settings file is reported on
    // standard error.
    static std::unique_ptr<WaylandPlatform> open(MainQueue& mainQueue, DesktopSession session,
                                                 std::string& error,
                                                 FileSettingsStore::Reporter report = {},
                                                 Lifetime lifetime = Lifetime::Session);

    WaylandPlatform(MainQueue& mainQueue, std::unique_ptr<wayland::Compositor> compositor,
                    FileSettingsStore::Reporter report, Lifetime lifetime = Lifetime::Session);

    SpaceObserverServices services() {
        return {.mainQueue = mainQueue,
                .settings = settings,
                .windowServer = windowServer,
                .workspace = workspace,
                .defaultCenter = defaultCenter,
                .memoryPressure = lifetime == Lifetime::Session ? &memoryPressure : nullptr,
                .appIcons = appIcons};
    }

    // The app icons of the strip and the panel from one source (a UI's, which finds them
    // through desktop entries and the icon theme). Before the views are made.
    void setAppIcons(const AppIconSource* source) {
        appIcons = source;
        spaceApps.setIconSource(source);
    }

    SpacePopoverServices popoverServices() {
        return {mainQueue, kernel, workspace, cleaner, appActions, &spaceApps};
    }

    MainQueue& mainQueue;
    const Lifetime lifetime;
    FileSettingsStore settings;
    // Rereads the settings file when another process writes it; none in a one-shot command.
    std::unique_ptr<FdWatcher> settingsWatcher;
    NotificationCenter defaultCenter;
    wayland::CompositorSession session;
    wayland::WaylandWindowServer windowServer{session};
    wayland::WaylandWorkspace workspace;
    wayland::CompositorEventPoster poster{session};
    LogindWatcher logind{mainQueue, workspace.events()};
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

    // Starts the event streams: the compositor's, logind's and the desktop portal's.
    void startObserving();
};

} // namespace tidemark::linux_platform
