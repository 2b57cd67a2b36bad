#include "spaces/Space.h"

#include "foundation/Text.h"

#include <set>

namespace tidemark {
namespace {

const std::set<std::string, std::less<>>& protectedSystemBundleIdentifiers() {
    static const std::set<std::string, std::less<>> identifiers{"com.apple.finder",
                                                                "com.apple.dock",
                                                                "com.apple.WindowManager",
                                                                "com.apple.controlcenter",
                                                                "com.apple.notificationcenterui",
                                                                "com.apple.Spotlight",
                                                                "com.apple.systemuiserver",
                                                                "com.apple.loginwindow",
                                                                "com.apple.screencaptureui",
                                                                "com.apple.AirPlayUIAgent",
                                                                "com.apple.TextInputMenuAgent",
                                                                "com.apple.PressAndHold",
                                                                "com.apple.SecurityAgent",
                                                                "com.apple.CoreLocationAgent",
                                                                "com.apple.UserNotificationCenter",
                                                                "com.apple.talagent"};
    return identifiers;
}

// Lower-cased: the kernel's names of these programs, and the app keys (desktop-entry ids or
// window classes) their windows get.
const std::set<std::string, std::less<>>& desktopShellNames() {
    static const std::set<std::string, std::less<>> names{"plasmashell",      "org.kde.plasmashell",
                                                          "xfdesktop",        "xfce4-panel",
                                                          "gnome-shell",      "org.gnome.shell",
                                                          "nautilus-desktop", "lxpanel",
                                                          "lxqt-panel",       "mate-panel",
                                                          "budgie-panel",     "polybar",
                                                          "waybar",           "i3bar",
                                                          "swaybar",          "tint2",
                                                          "nemo-desktop",     "tidemark",
                                                          "tidemark-draw"};
    return names;
}

} // namespace

bool isDesktopShellName(std::string_view name) {
    return desktopShellNames().contains(text::toLower(name));
}

bool isProtectedSystemBundleIdentifier(std::string_view bundleID) {
    const auto& protectedIds = protectedSystemBundleIdentifiers();
    return protectedIds.contains(bundleID) || protectedIds.contains(text::toLower(bundleID));
}

std::int64_t shownNumber(const Space& space) {
    return space.wmNumber.value_or(space.spaceNumber);
}

std::string panelTitle(const Space& space) {
    // The header shares its row with the badge and the sleep button.
    constexpr std::size_t kMaxTitleCharacters = 24;
    if (space.wmName) {
        if (text::characterCount(*space.wmName) <= kMaxTitleCharacters)
            return *space.wmName;
        return text::prefixCharacters(*space.wmName, kMaxTitleCharacters - 1) + "…";
    }
    return "Desktop " + std::to_string(shownNumber(space));
}

bool isClosableApp(std::string_view appName, std::string_view appKey,
                   const std::optional<std::string>& ownBundleIdentifier) {
    if (ownBundleIdentifier && appKey == *ownBundleIdentifier)
        return false;
    if (isProtectedSystemBundleIdentifier(appKey) || isDesktopShellName(appKey))
        return false;
    return text::toLower(appName) != "finder";
}

} // namespace tidemark
