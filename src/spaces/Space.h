#pragma once

#include "foundation/Image.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidemark {

// One app listed on a space. Its identity is its process identifier.
struct SpaceAppDetail {
    std::string appName;
    ImageRef appIcon;
    std::string bundleID; // the app key
    std::int32_t pid = 0;

    std::int32_t id() const { return pid; }
};

// One space of one display in a snapshot.
struct Space {
    std::string displayID;
    std::string spaceID;
    std::string spaceName;
    std::int64_t spaceNumber = 0;
    std::optional<std::int64_t> desktopNumber;
    bool isCurrentSpace = false;
    bool isFullScreen = false;
    // The window manager's own number and name, where the platform has them.
    std::optional<std::int64_t> wmNumber;
    std::optional<std::string> wmName;
    // A window on the space asks for attention (never in a scenario).
    bool isUrgent = false;
    std::vector<ImageRef> appIcons;
    std::vector<SpaceAppDetail> appDetails;
};

// The number a space is shown with: the window manager's own where it has one.
std::int64_t shownNumber(const Space& space);
// The title of a space's panel: the window manager's name, else its shown number.
std::string panelTitle(const Space& space);

// The stored number and name of a space.
struct SpaceNameInfo {
    std::int64_t spaceNum = 0;
    std::string spaceName;
    friend bool operator==(const SpaceNameInfo&, const SpaceNameInfo&) = default;
};

using SpaceNameMap = std::map<std::string, SpaceNameInfo>;

// One of the system's own apps that are never quit, compared as written and lower-cased.
bool isProtectedSystemBundleIdentifier(std::string_view bundleID);

// One of the desktop's own programs, by an app key or a process name, ignoring case: a
// desktop drawer, panel or bar, or this program. They are neither quit nor cleaned up.
bool isDesktopShellName(std::string_view name);

// Whether the user may quit an app, by its name and app key. `ownBundleIdentifier` is this
// program's identifier; absent, that check is skipped.
bool isClosableApp(std::string_view appName, std::string_view appKey,
                   const std::optional<std::string>& ownBundleIdentifier);

} // namespace tidemark
