#include "platform/linux/LinuxPlatform.h"

#include "platform/linux/x11/DisplayCheck.h"

namespace tidemark::linux_platform {

std::unique_ptr<LinuxPlatform> LinuxPlatform::open(MainQueue& mainQueue, std::string& error,
                                                   FileSettingsStore::Reporter report,
                                                   Lifetime lifetime) {
    auto connection = XConnection::open();
    auto events = !connection || lifetime == Lifetime::OneShot ? connection : XConnection::open();
    if (!connection || !events) {
        error = cannotConnectLine();
        return nullptr;
    }
    return std::make_unique<LinuxPlatform>(mainQueue, std::move(connection), std::move(events),
                                           std::move(report), lifetime);
}

LinuxPlatform::LinuxPlatform(MainQueue& queue, std::shared_ptr<XConnection> connection,
                             std::shared_ptr<XConnection> events,
                             FileSettingsStore::Reporter report, Lifetime lifetime)
    : mainQueue(queue), lifetime(lifetime), x(std::move(connection)), xEvents(std::move(events)),
      settings(FileSettingsStore::defaultLocation(), std::move(report)),
      settingsWatcher(lifetime == Lifetime::Session ? std::make_unique<FdWatcher>(queue, settings)
                                                    : nullptr),
      windowServer(x), workspace(x, xEvents, mainQueue, std::make_shared<DesktopEntries>()),
      poster(windowServer), logind(mainQueue, workspace.events()) {}

void LinuxPlatform::startObserving() {
    workspace.setDesktopEventListener(
        [this](const desktop::EventTurn& turn) { windowServer.desktopChanged(turn); });
    windowServer.followDesktopEvents();
    workspace.startObserving();
    logind.start();
    portal.start();
}

} // namespace tidemark::linux_platform
