#pragma once

#include "main/Commands.h"
#include "platform/linux/DesktopSession.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/wayland/WaylandPlatform.h"

#include <iostream>
#include <string>
#include <string_view>

namespace tidemark::cli {

// Runs `run` with the platform of the desktop the environment names, opened on `mainQueue`,
// and gives its result; `run` takes whichever platform type serves the session (a generic
// lambda). When the desktop is none Tidemark reads, or does not answer, prints "tidemark
// COMMAND: <why>" in one line and gives kExitFailure.
template <typename Run>
int onLiveDesktop(MainQueue& mainQueue, std::string_view command, linux_platform::Lifetime lifetime,
                  Run&& run) {
    using linux_platform::DesktopSession;
    const auto session = linux_platform::currentDesktopSession();
    std::string error;
    switch (session) {
    case DesktopSession::X11:
        if (auto platform = linux_platform::LinuxPlatform::open(mainQueue, error, {}, lifetime))
            return run(*platform);
        break;
    case DesktopSession::Sway:
    case DesktopSession::Hyprland:
    case DesktopSession::Niri:
        if (auto platform =
                linux_platform::WaylandPlatform::open(mainQueue, session, error, {}, lifetime))
            return run(*platform);
        break;
    case DesktopSession::OtherWayland:
        error = linux_platform::unsupportedSessionLine();
        break;
    }
    std::cerr << "tidemark " << command << ": " << error << "\n";
    return kExitFailure;
}

} // namespace tidemark::cli
