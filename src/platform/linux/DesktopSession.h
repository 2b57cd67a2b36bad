#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tidemark::linux_platform {

// The desktop a session runs, as far as Tidemark reads it.
enum class DesktopSession { X11, Sway, Hyprland, Niri, OtherWayland };

// Which desktop the environment names. A compositor's own variable wins (`SWAYSOCK`,
// `HYPRLAND_INSTANCE_SIGNATURE`, `NIRI_SOCKET`, in that order): its session sets DISPLAY too,
// for Xwayland, whose windows are only some of the desktop's. Then X11 where DISPLAY is set;
// then a Wayland session of another compositor where WAYLAND_DISPLAY is; else X11, whose own
// error says that no display is set. An empty value counts as unset.
DesktopSession chooseDesktopSession(const std::function<const char*(const char* name)>& variable);

// The choice for this process's environment.
DesktopSession currentDesktopSession();

// The compositor's name as users know it ("sway"); "X11" for X11.
std::string_view sessionName(DesktopSession session);

// The line of the compositor's configuration, and its file, that makes Ctrl+Alt+R run
// `tidemark refresh`: a Wayland client gets no global hot key, so the compositor binds it.
// Nothing for X11, where the app grabs the key itself, and for a compositor Tidemark does not
// read.
struct RefreshBinding {
    std::string configFile;
    std::string line;
};
std::optional<RefreshBinding> refreshBinding(DesktopSession session);

// Why an OtherWayland session gets nothing, in one line that names what is supported.
std::string unsupportedSessionLine();

} // namespace tidemark::linux_platform
