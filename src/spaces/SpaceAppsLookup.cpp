#include "spaces/SpaceAppsLookup.h"

#include "preferences/SettingsKeys.h"

namespace tidemark {

std::vector<Space> SpaceAppsLookup::withApps(std::vector<Space> spaces) {
    if (settings::isOpenedAppsStyle(settings_))
        return spaces;
    std::vector<std::string> unlisted;
    for (const auto& space : spaces)
        if (space.appDetails.empty())
            unlisted.push_back(space.spaceID);
    if (unlisted.empty())
        return spaces;
    const auto maps = mapper_.mapAppsToSpaces(unlisted);
    for (auto& space : spaces) {
        if (!space.appDetails.empty())
            continue;
        space.appIcons = maps.icons.at(space.spaceID);
        space.appDetails = maps.details.at(space.spaceID);
    }
    return spaces;
}

} // namespace tidemark
