#include "platform/linux/DesktopSession.h"

#include <cstdlib>

namespace tidemark::linux_platform {

DesktopSession chooseDesktopSession(const std::function<const char*(const char* name)>& variable) {
    const auto isSet = [&](const char* name) {
        const char* value = variable(name);
        return value && *value;
    };
    if (isSet("SWAYSOCK"))
        return DesktopSession::Sway;
    if (isSet("HYPRLAND_INSTANCE_SIGNATURE"))
        return DesktopSession::Hyprland;
    if (isSet("NIRI_SOCKET"))
        return DesktopSession::Niri;
    if (!isSet("DISPLAY") && isSet("WAYLAND_DISPLAY"))
        return DesktopSession::OtherWayland;
    return DesktopSession::X11;
}

DesktopSession currentDesktopSession() {
    return chooseDesktopSession([](const char* name) { return std::getenv(name); });
}

std::string_view sessionName(DesktopSession session) {
    switch (session) {
    case DesktopSession::Sway:
        return "sway";
    case DesktopSession::Hyprland:
        return "Hyprland";
    case DesktopSession::Niri:
        return "niri";
    case DesktopSession::OtherWayland:
        return "Wayland";
    case DesktopSession::X11:
        break;
    }
    return "X11";
}

std::optional<RefreshBinding> refreshBinding(DesktopSession session) {
    switch (session) {
    case DesktopSession::Sway:
        return RefreshBinding{"~/.config/sway/config", "bindsym Ctrl+Alt+r exec tidemark refresh"};
    case DesktopSession::Hyprland:
        return RefreshBinding{"~/.config/hypr/hyprland.conf",
                              "bind = CTRL ALT, R, exec, tidemark refresh"};
    case DesktopSession::Niri:
        return RefreshBinding{"the binds section of ~/.config/niri/config.kdl",
                              "Ctrl+Alt+R { spawn \"tidemark\" \"refresh\"; }"};
    case DesktopSession::X11:
    case DesktopSession::OtherWayland:
        break;
    }
    return std::nullopt;
}

std::string unsupportedSessionLine() {
    return "this Wayland compositor is not supported; Tidemark reads sway, Hyprland, niri and "
           "X11 desktops";
}

} // namespace tidemark::linux_platform
