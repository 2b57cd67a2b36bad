#include "platform/linux/wayland/WaylandPlatform.h"

#include "platform/linux/wayland/SwayCompositor.h"

#include <cstdio>
#include <cstdlib>

namespace tidemark::linux_platform {

namespace {

std::unique_ptr<wayland::Compositor> compositorOf(DesktopSession session, std::string& where) {
    if (session == DesktopSession::Sway) {
        const char* socket = std::getenv("SWAYSOCK");
        where = socket ? socket : "";
        return std::make_unique<wayland::SwayCompositor>(where);
    }
    return nullptr;
}

} // namespace

std::unique_ptr<WaylandPlatform> WaylandPlatform::open(MainQueue& mainQueue, DesktopSession session,
                                                       std::string& error,
                                                       FileSettingsStore::Reporter report,
                                                       Lifetime lifetime) {
    std::string where;
    auto compositor = compositorOf(session, where);
    if (!compositor) {
        error = std::string(sessionName(session)) + " is not read yet";
        return nullptr;
    }
    if (!compositor->isReachable()) {
        error = "cannot connect to " + std::string(compositor->name()) + " on " + where;
        return nullptr;
    }
    return std::make_unique<WaylandPlatform>(mainQueue, std::move(compositor), std::move(report),
                                             lifetime);
}

WaylandPlatform::WaylandPlatform(MainQueue& queue, std::unique_ptr<wayland::Compositor> compositor,
                                 FileSettingsStore::Reporter report, Lifetime lifetime)
    : mainQueue(queue), lifetime(lifetime),
      settings(FileSettingsStore::defaultLocation(), std::move(report)),
      settingsWatcher(lifetime == Lifetime::Session ? std::make_unique<FdWatcher>(queue, settings)
                                                    : nullptr),
      session(std::move(compositor)),
      workspace(session, mainQueue, std::make_shared<DesktopEntries>(), [this] {
          // The compositor is the session: without it there is no desktop to show.
          std::fprintf(stderr, "tidemark: lost the connection to %s\n",
                       std::string(session.name()).c_str());
          std::exit(1);
      }) {}

void WaylandPlatform::startObserving() {
    workspace.startObserving();
    logind.start();
    portal.start();
}

} // namespace tidemark::linux_platform
