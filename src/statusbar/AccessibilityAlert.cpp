#include "statusbar/AccessibilityAlert.h"

namespace tidemark {

std::string applicationName(const std::optional<std::string>& displayName,
                            const std::optional<std::string>& bundleName) {
    if (displayName)
        return *displayName;
    if (bundleName)
        return *bundleName;
    return "Tidemark";
}

AlertContent accessibilityAlert(const std::string& appName) {
    const std::string quitLabel = "\"Quit " + appName + "\"";
    AlertContent alert;
    alert.style = AlertStyle::Warning;
    alert.messageText = "Accessibility Permission Required";
    alert.informativeText =
        "In order for clicking a space to switch Desktops to work, Accessibility permission "
        "must be granted and the app needs to be restarted.\n"
        "\n"
        "1. Grant Permission:\n"
        "Open System Settings → Privacy & Security → Accessibility, and enable " +
        appName +
        ".\n"
        "\n"
        "2. Restart " +
        appName +
        ":\n"
        "After enabling the permission, macOS requires the app to be restarted to apply "
        "changes. Right-click the " +
        appName + " menu bar icon and select " + quitLabel + " (or click " + quitLabel +
        " below), then launch it again.";
    alert.buttons = {"Open System Settings", "Quit " + appName, "Cancel"};
    return alert;
}

} // namespace tidemark
