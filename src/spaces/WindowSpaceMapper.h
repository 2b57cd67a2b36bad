#pragma once

#include "spaces/Space.h"
#include "spaces/WindowServer.h"
#include "spaces/Workspace.h"

#include <map>
#include <string>
#include <vector>

namespace tidemark {

// The apps of each space, as three parallel lists per space identifier.
struct SpaceAppMaps {
    std::map<std::string, std::vector<ImageRef>> icons;
    std::map<std::string, std::vector<std::string>> appKeys;
    std::map<std::string, std::vector<SpaceAppDetail>> details;
};

// Finds the apps that have windows on each space.
class WindowSpaceMapper {
public:
    WindowSpaceMapper(WindowServer& windowServer, Workspace& workspace);

    // One entry (possibly empty) per given identifier in each map.
    SpaceAppMaps mapAppsToSpaces(const std::vector<std::string>& spaceIds);

private:
    WindowServer& windowServer_;
    Workspace& workspace_;
};

} // namespace tidemark
