#pragma once

#include "foundation/SettingsStore.h"
#include "spaces/Space.h"
#include "spaces/WindowSpaceMapper.h"

#include <vector>

namespace tidemark {

// The apps of spaces for a reader the snapshot leaves without them: only the opened-apps
// style lists apps in the refresh (the others draw no app icons), yet the hover panel shows
// a space's apps in every style. It has a mapper of its own, so the refresh, its signature and
// its icon cache stay as they are.
class SpaceAppsLookup {
public:
    SpaceAppsLookup(WindowServer& windowServer, Workspace& workspace, SettingsStore& settings,
                    const ImageScaler* imageScaler = nullptr)
        : settings_(settings), mapper_(windowServer, workspace, imageScaler) {}

    // Icons not yet cached come from `source` from now on.
    void setIconSource(const AppIconSource* source) { mapper_.setIconSource(source); }

    // `spaces` with the apps on each space that lists none, found as the opened-apps refresh
    // finds them; unchanged in that style, where the snapshot carries them already.
    std::vector<Space> withApps(std::vector<Space> spaces);

private:
    SettingsStore& settings_;
    WindowSpaceMapper mapper_;
};

} // namespace tidemark
