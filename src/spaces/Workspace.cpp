#include "spaces/Workspace.h"

namespace tidemark {

std::optional<RunningApplication> Workspace::runningApplication(std::int32_t pid) {
    for (auto& app : runningApplications())
        if (app.pid == pid)
            return app;
    return std::nullopt;
}

} // namespace tidemark
