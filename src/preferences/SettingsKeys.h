#pragma once

#include "foundation/Value.h"

// Every settings key the program reads or writes, and the notification that asks for a new
// menu-bar image. Readers go through these names only.
namespace tidemark::settings {

inline constexpr const char* kDisplayStyle = "displayStyle";
inline constexpr const char* kUseHighContrastBorders = "useHighContrastBorders";
inline constexpr const char* kHoverPopupEnabled = "hoverPopupEnabled";
inline constexpr const char* kActiveSpaceColor = "activeSpaceColor";
inline constexpr const char* kSpaceNames = "spaceNames";

inline constexpr const char* kButtonPressedNotification = "ButtonPressed";

// The style value that shows the apps of each space.
inline constexpr std::int64_t kOpenedAppsStyle = 4;

// Registered at launch; they never reach the stored file.
inline ValueDictionary registeredDefaults() {
    return {{kDisplayStyle, Value(kOpenedAppsStyle)},
            {kUseHighContrastBorders, Value(false)},
            {kHoverPopupEnabled, Value(true)}};
}

} // namespace tidemark::settings
