#include "platform/linux/x11/LinuxSwitchPermission.h"

#include <gtest/gtest.h>

namespace tidemark::linux_platform {
namespace {

using Command = std::optional<std::vector<std::string>>;

TEST(DesktopSettingsCommand, TheFirstKnownDesktopOfTheListDecides) {
    const struct {
        std::string_view desktop;
        Command expected;
    } cases[] = {
        {"GNOME", std::vector<std::string>{"gnome-control-center"}},
        {"ubuntu:GNOME", std::vector<std::string>{"gnome-control-center"}},
        {"KDE", std::vector<std::string>{"systemsettings"}},
        {"X-Cinnamon:XFCE", std::vector<std::string>{"xfce4-settings-manager"}},
        {"i3", std::nullopt},
        {"Openbox", std::nullopt},
        {"", std::nullopt},
        {"::", std::nullopt},
        {"gnome", std::nullopt}, // the names are case-sensitive
    };
    for (const auto& c : cases)
        EXPECT_EQ(desktopSettingsCommand(c.desktop), c.expected) << c.desktop;
}

} // namespace
} // namespace tidemark::linux_platform
