#pragma once

#include "statusbar/ViewPorts.h"

#include <optional>
#include <string>

namespace tidemark {

// The app's name in texts: the bundle's display name, else its name, else "Tidemark".
std::string applicationName(const std::optional<std::string>& displayName,
                            const std::optional<std::string>& bundleName);

// The alert that explains how to grant the permission that switching needs; its buttons
// open the settings, quit the app named `appName`, and cancel.
AlertContent accessibilityAlert(const std::string& appName);

enum class AccessibilityAlertButton { OpenSettings = 1, Quit = 2, Cancel = 3 };

} // namespace tidemark
