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

} // namespace

bool isProtectedSystemBundleIdentifier(std::string_view bundleID) {
    const auto& protectedIds = protectedSystemBundleIdentifiers();
    return protectedIds.contains(bundleID) || protectedIds.contains(text::toLower(bundleID));
}

bool isClosableApp(std::string_view appName, std::string_view appKey,
                   const std::optional<std::string>& ownBundleIdentifier) {
    if (ownBundleIdentifier && appKey == *ownBundleIdentifier)
        return false;
    if (isProtectedSystemBundleIdentifier(appKey))
        return false;
    return text::toLower(appName) != "finder";
}

} // namespace tidemark
