#include "spaces/WindowSpaceMapper.h"

namespace tidemark {

WindowSpaceMapper::WindowSpaceMapper(WindowServer& windowServer, Workspace& workspace)
    : windowServer_(windowServer), workspace_(workspace) {}

// Lists no apps yet: every space gets empty lists, which the snapshot shows as such.
SpaceAppMaps WindowSpaceMapper::mapAppsToSpaces(const std::vector<std::string>& spaceIds) {
    SpaceAppMaps maps;
    for (const auto& id : spaceIds) {
        maps.icons[id];
        maps.appKeys[id];
        maps.details[id];
    }
    (void)windowServer_;
    (void)workspace_;
    return maps;
}

} // namespace tidemark
