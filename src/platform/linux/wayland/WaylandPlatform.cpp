#include "platform/linux/wayland/WaylandPlatform.h"

#include "platform/linux/wayland/HyprlandCompositor.h"
#include "platform/linux/wayland/NiriCompositor.h"
#include "platform/linux/wayland/SwayCompositor.h"

#include <cstdio>
#include <cstdlib>

namespace tidemark::linux_platform {

namespace {

std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The compositor the session names, with the socket it is reached on in `where`.
std::unique_ptr<wayland::Compositor> compositorOf(DesktopSession session, std::string& where) {
    switch (session) {
    case DesktopSession::Sway:
        where = variable("SWAYSOCK");
        return std::make_unique<wayland::SwayCompositor>(where);
    case DesktopSession::Hyprland: {
        const auto signature = variable("HYPRLAND_INSTANCE_SIGNATURE");
        auto paths = wayland::HyprlandCompositor::locate(variable("XDG_RUNTIME_DIR"), signature);
        where = paths ? paths->requests : "the sockets of instance " + signature;
        return paths ? std::make_unique<wayland::HyprlandCompositor>(std::move(*paths)) : nullptr;
    }
    case DesktopSession::Niri:
        where = variable("NIRI_SOCKET");
        return std::make_unique<wayland::NiriCompositor>(where);
    case DesktopSession::X11:
    case DesktopSession::OtherWayland:
        break;
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
    if (!compositor || !compositor->isReachable()) {
        error = "cannot connect to " + std::string(sessionName(session)) + " on " + where;
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
