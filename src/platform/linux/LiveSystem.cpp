#include "platform/linux/LiveSystem.h"

#include "platform/linux/DesktopSession.h"

namespace tidemark::linux_platform {

namespace {

class NoWindowServer final : public WindowServer {
public:
    DisplayList displays() override { return nullptr; }
    SharedWindowList windows() override { return nullptr; }
};

class NoAppsWorkspace final : public Workspace {
public:
    NoAppsWorkspace() : installed_(linux_proc::InstalledApplications::fromEnvironment()) {}

    std::vector<RunningApplication> runningApplications() override { return {}; }
    Appearance effectiveAppearance() override { return Appearance::Light; }
    std::optional<std::string> ownBundleIdentifier() override { return std::nullopt; }
    ImageRef iconForFile(const std::string&) override { return {}; }
    ImageRef applicationIcon(std::int32_t) override { return {}; }
    ImageRef genericApplicationIcon() override { return {}; }
    bool isApplicationInstalled(const std::string& bundleIdentifier) override {
        return installed_.isInstalled(bundleIdentifier);
    }
    WorkspaceEvents& events() override { return events_; }

private:
    linux_proc::InstalledApplications installed_;
    WorkspaceEvents events_;
};

} // namespace

LiveSystem::LiveSystem(MainQueue& mainQueue) {
    std::string error;
    const auto session = currentDesktopSession();
    if (session == DesktopSession::X11)
        x11_ = LinuxPlatform::open(mainQueue, error, {}, Lifetime::OneShot);
    else if (session != DesktopSession::OtherWayland)
        wayland_ = WaylandPlatform::open(mainQueue, session, error, {}, Lifetime::OneShot);
    if (x11_) {
        windowServer_ = &x11_->windowServer;
        workspace_ = &x11_->workspace;
        return;
    }
    if (wayland_) {
        windowServer_ = &wayland_->windowServer;
        workspace_ = &wayland_->workspace;
        return;
    }
    fallbackWindowServer_ = std::make_unique<NoWindowServer>();
    fallbackWorkspace_ = std::make_unique<NoAppsWorkspace>();
    windowServer_ = fallbackWindowServer_.get();
    workspace_ = fallbackWorkspace_.get();
}

LiveSystem::~LiveSystem() = default;

} // namespace tidemark::linux_platform
