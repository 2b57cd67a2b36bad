#include "platform/linux/DesktopSession.h"

#include <gtest/gtest.h>
#include <map>

namespace tidemark::linux_platform {
namespace {

TEST(DesktopSession, CompositorsWinOverDisplaysAndAnUnknownWaylandIsNamedAsSuch) {
    using enum DesktopSession;
    struct Case {
        const char* name;
        std::map<std::string, std::string> environment;
        DesktopSession expected;
    };
    const Case cases[] = {
        {"nothing set: X11 says so itself", {}, X11},
        {"an X session", {{"DISPLAY", ":0"}}, X11},
        {"sway with Xwayland", {{"SWAYSOCK", "/run/s.sock"}, {"DISPLAY", ":0"}}, Sway},
        {"sway without Xwayland",
         {{"SWAYSOCK", "/run/s.sock"}, {"WAYLAND_DISPLAY", "wayland-1"}},
         Sway},
        {"Hyprland", {{"HYPRLAND_INSTANCE_SIGNATURE", "abc"}, {"DISPLAY", ":1"}}, Hyprland},
        {"niri", {{"NIRI_SOCKET", "/run/n.sock"}, {"WAYLAND_DISPLAY", "wayland-1"}}, Niri},
        {"sway before Hyprland before niri",
         {{"NIRI_SOCKET", "n"}, {"HYPRLAND_INSTANCE_SIGNATURE", "h"}, {"SWAYSOCK", "s"}},
         Sway},
        {"Hyprland before niri",
         {{"NIRI_SOCKET", "n"}, {"HYPRLAND_INSTANCE_SIGNATURE", "h"}},
         Hyprland},
        {"another compositor alone", {{"WAYLAND_DISPLAY", "wayland-0"}}, OtherWayland},
        {"another compositor with Xwayland: X11 as before",
         {{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}},
         X11},
        {"empty values are unset",
         {{"SWAYSOCK", ""}, {"NIRI_SOCKET", ""}, {"WAYLAND_DISPLAY", "w"}},
         OtherWayland},
        {"an empty WAYLAND_DISPLAY names nothing", {{"WAYLAND_DISPLAY", ""}}, X11},
    };
    for (const auto& c : cases) {
        const auto chosen = chooseDesktopSession([&](const char* name) -> const char* {
            const auto it = c.environment.find(name);
            return it == c.environment.end() ? nullptr : it->second.c_str();
        });
        EXPECT_EQ(chosen, c.expected) << c.name;
    }
}

} // namespace
} // namespace tidemark::linux_platform
