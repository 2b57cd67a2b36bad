#include "platform/linux/live/LiveApp.h"
#if TIDEMARK_WAYLAND_STRIP
#include "platform/linux/live/wayland/WaylandLiveApp.h"
#endif

#include "main/Commands.h"
#include "platform/linux/DesktopSession.h"

#include <cstdlib>
#include <iostream>

namespace tidemark::cli {

int runLiveApp(Invocation) {
    using linux_platform::DesktopSession;
    if (const auto session = linux_platform::currentDesktopSession();
        session == DesktopSession::OtherWayland) {
        std::cerr << "tidemark: " << linux_platform::unsupportedSessionLine() << "\n";
        return kExitFailure;
    } else if (session != DesktopSession::X11) {
#if TIDEMARK_WAYLAND_STRIP
        const auto ended = linux_platform::live::runWaylandLiveApp(session);
        if (!ended.error.empty())
            std::cerr << "tidemark: " << ended.error << "\n";
        return ended.status;
#else
        std::cerr << "tidemark: this build has no strip for Wayland (it was built without "
                     "libwayland-client); under "
                  << linux_platform::sessionName(session)
                  << " the commands work (tidemark --help lists them)\n";
        return kExitFailure;
#endif
    }
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        std::cerr << "tidemark: no X display (DISPLAY is not set); `tidemark demo --out DIR` "
                     "draws the app offscreen\n";
        return kExitFailure;
    }
    const auto ended = linux_platform::live::runLiveApp();
    if (!ended.error.empty())
        std::cerr << "tidemark: " << ended.error << "\n";
    return ended.status;
}

} // namespace tidemark::cli
