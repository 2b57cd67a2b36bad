#pragma once

#include "spaces/Workspace.h"

namespace tidemark::testing {

// Passes every call to another workspace; tests override the calls they want to watch or bend.
class ForwardingWorkspace : public Workspace {
public:
    explicit ForwardingWorkspace(Workspace& inner) : inner_(inner) {}

    std::vector<RunningApplication> runningApplications() override {
        return inner_.runningApplications();
    }
    AppCounting appCounting() const override { return inner_.appCounting(); }
    Appearance effectiveAppearance() override { return inner_.effectiveAppearance(); }
    std::optional<std::string> ownBundleIdentifier() override {
        return inner_.ownBundleIdentifier();
    }
    ImageRef iconForFile(const std::string& path) override { return inner_.iconForFile(path); }
    ImageRef applicationIcon(std::int32_t pid) override { return inner_.applicationIcon(pid); }
    ImageRef genericApplicationIcon() override { return inner_.genericApplicationIcon(); }
    bool isApplicationInstalled(const std::string& id) override {
        return inner_.isApplicationInstalled(id);
    }
    bool terminate(std::int32_t pid) override { return inner_.terminate(pid); }
    bool forceTerminate(std::int32_t pid) override { return inner_.forceTerminate(pid); }
    WorkspaceEvents& events() override { return inner_.events(); }

private:
    Workspace& inner_;
};

} // namespace tidemark::testing
