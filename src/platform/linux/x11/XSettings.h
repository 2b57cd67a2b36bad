#pragma once

#include "spaces/Workspace.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

// The XSETTINGS protocol's settings property, and which appearance the desktop asks for.
// Pure functions over bytes and values: no X, so the reading rules are testable on their own.
namespace tidemark::linux_platform::xsettings {

using Color = std::array<std::uint16_t, 4>; // red, green, blue, alpha
using SettingValue = std::variant<std::int32_t, std::string, Color>;
using Settings = std::map<std::string, SettingValue, std::less<>>;

// The settings of a `_XSETTINGS_SETTINGS` property value, in either byte order. A value that
// is cut short, claims more than it holds or has an unknown type reads as nothing: the
// property is written whole by its owner, so a partial reading would be a wrong one.
std::optional<Settings> parse(std::span<const std::uint8_t> bytes);

// "Net/ThemeName" when it is a string.
std::optional<std::string> themeName(const Settings& settings);

// The freedesktop colour-scheme preference: 0 none, 1 dark, 2 light.
inline constexpr std::uint32_t kPortalPrefersDark = 1;
inline constexpr std::uint32_t kPortalPrefersLight = 2;

// Where the desktop's appearance can come from, most authoritative first.
struct AppearanceSources {
    std::optional<std::uint32_t> portalColorScheme;
    std::optional<std::string> xsettingsThemeName;
    std::optional<std::string> gtkThemeVariable;
};

// The portal's preference when it states one; else the XSETTINGS theme name, else
// GTK_THEME: dark when the theme's name says so ("Adwaita-dark", "Arc-Dark").
Appearance resolveAppearance(const AppearanceSources& sources);

} // namespace tidemark::linux_platform::xsettings
