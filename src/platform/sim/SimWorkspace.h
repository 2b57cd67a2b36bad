#pragma once

#include "platform/scenario/Scenario.h"
#include "spaces/Workspace.h"

#include <functional>
#include <set>

namespace tidemark::sim {

// The running applications, appearance and icons of a scenario. Icons are tiny synthetic
// bitmaps whose name and colour tell them apart.
class SimWorkspace final : public Workspace {
public:
    explicit SimWorkspace(const Scenario& scenario);

    std::vector<RunningApplication> runningApplications() override;
    RunningApplications sharedRunningApplications() override { return running_; }
    std::optional<RunningApplication> runningApplication(std::int32_t pid) override;
    Appearance effectiveAppearance() override { return appearance_; }
    std::optional<std::string> ownBundleIdentifier() override { return ownBundleIdentifier_; }
    ImageRef iconForFile(const std::string& path) override;
    ImageRef applicationIcon(std::int32_t pid) override;
    ImageRef genericApplicationIcon() override;
    bool isApplicationInstalled(const std::string& bundleIdentifier) override;
    // Delivered when the app accepts that kind of request; the app then quits at once.
    bool terminate(std::int32_t pid) override;
    bool forceTerminate(std::int32_t pid) override;
    WorkspaceEvents& events() override { return events_; }

    void setAppearance(Appearance appearance) { appearance_ = appearance; }
    void setApps(std::vector<App> apps);
    const std::vector<App>& apps() const { return apps_; }
    // Called with every quit request (pid, forced, delivered) and for every app that quits.
    void setQuitRequestHook(std::function<void(std::int32_t, bool, bool)> hook) {
        quitRequestHook_ = std::move(hook);
    }
    void setAppQuitHook(std::function<void(std::int32_t)> hook) { appQuitHook_ = std::move(hook); }

    // A synthetic icon: 4 x 4 pixels of one colour derived from `name`.
    static ImageRef syntheticIcon(const std::string& name);

private:
    // Replaces the shared list that answers `runningApplications`; readers keep the old one.
    void publishRunningApplications();
    bool requestQuit(std::int32_t pid, bool forced);

    std::vector<App> apps_;
    // The applications of `apps_`, built once for every reader.
    RunningApplications running_;
    Appearance appearance_;
    std::optional<std::string> ownBundleIdentifier_;
    std::set<std::string, std::less<>> installed_;
    WorkspaceEvents events_;
    std::function<void(std::int32_t, bool, bool)> quitRequestHook_;
    std::function<void(std::int32_t)> appQuitHook_;
};

} // namespace tidemark::sim
