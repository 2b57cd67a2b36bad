#include "spaces/Workspace.h"

namespace tidemark {

RunningApplications Workspace::sharedRunningApplications() {
    return std::make_shared<const std::vector<RunningApplication>>(runningApplications());
}

std::optional<RunningApplication> Workspace::runningApplication(std::int32_t pid) {
    for (const auto& app : *sharedRunningApplications())
        if (app.pid == pid)
            return app;
    return std::nullopt;
}

} // namespace tidemark
