#pragma once

#include "foundation/MainQueue.h"
#include "platform/linux/FdWatcher.h"
#include "platform/linux/apps/DesktopEntries.h"
#include "platform/linux/apps/InstalledApplications.h"
#include "platform/linux/wayland/CompositorSession.h"
#include "spaces/Workspace.h"

#include <functional>
#include <map>
#include <memory>
#include <mutex>

namespace tidemark::linux_platform::wayland {

// The running applications of a Wayland compositor: the processes that own its windows, named
// through desktop entries as on X11. While observing, the compositor's events (read on a
// connection of their own, watched on a thread and handled on the main queue) mark the table
// stale, or are taken into it, and become workspace events.
class WaylandWorkspace final : public Workspace, public EventSource {
public:
    static constexpr const char* kOwnBundleIdentifier = "tidemark";

    // `lost` is called on the main queue when the compositor has gone: its event stream ended
    // and it takes no new connection.
    WaylandWorkspace(CompositorSession& session, MainQueue& mainQueue,
                     std::shared_ptr<const DesktopEntries> entries, std::function<void()> lost);
    ~WaylandWorkspace() override;

    std::vector<RunningApplication> runningApplications() override;
    RunningApplications sharedRunningApplications() override;
    Appearance effectiveAppearance() override;
    std::optional<std::string> ownBundleIdentifier() override { return kOwnBundleIdentifier; }
    // Wayland windows carry no icons; the UI finds an app's through its desktop entry.
    ImageRef iconForFile(const std::string&) override { return nullptr; }
    ImageRef applicationIcon(std::int32_t) override { return nullptr; }
    ImageRef genericApplicationIcon() override;
    bool isApplicationInstalled(const std::string& bundleIdentifier) override;
    // Polite: asks the compositor to close each of the app's windows. Forced: SIGKILL, only to
    // a pid that owns a window at this moment, never to init, a thread or this program.
    bool terminate(std::int32_t pid) override;
    // Each process with a window is an app, as the X11 desktop counts them.
    AppCounting appCounting() const override { return AppCounting::ByProcess; }
    WorkspaceEvents& events() override { return workspaceEvents_; }

    // The Icon= value of the app's desktop entry, when it has one.
    std::optional<std::string> desktopIconName(const std::string& appKey) const {
        return entries_->iconName(appKey);
    }
    // Subscribes to the compositor's events; main queue only.
    void startObserving();
    // The desktop portal's colour-scheme preference, when it has one; main queue only.
    void setPortalColorScheme(std::optional<std::uint32_t> scheme);
    std::vector<int> eventFds() override;
    void dispatchEvents() override;

private:
    using AppMap = std::map<std::int32_t, TableApp>;

    const AppMap& currentAppsLocked();
    void recordOwnersLocked(const Windows& windows);
    void diffApps();
    void resubscribe(int attempt);
    void postLater(WorkspaceEvent event);
    void postAnnounced();

    CompositorSession& session_;
    MainQueue& mainQueue_;
    std::shared_ptr<const DesktopEntries> entries_;
    std::function<void()> lost_;
    const linux_proc::InstalledApplications installed_ =
        linux_proc::InstalledApplications::fromEnvironment();
    WorkspaceEvents workspaceEvents_;
    // The events of the dispatch under way, posted as one batch at its end.
    std::vector<WorkspaceEvent> announced_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

    std::mutex mutex_;
    // The windows the apps were made of, and the apps; kept when the compositor fails to
    // answer, so that a failure never makes every app look gone.
    std::shared_ptr<const Windows> tableWindows_;
    AppMap apps_;
    RunningApplications sharedApps_ = std::make_shared<const std::vector<RunningApplication>>();
    SeenOwners owners_;
    bool observing_ = false;

    // Main queue only.
    std::optional<std::int32_t> activePid_;
    std::optional<std::uint32_t> portalColorScheme_;
    std::optional<Appearance> announcedAppearance_;
    std::unique_ptr<CompositorEvents> events_;
    bool resubscribing_ = false;
    // Streams that ended since the last readable event.
    int endedStreams_ = 0;
    // Last, so that it stops before anything it dispatches to goes away.
    std::unique_ptr<FdWatcher> watcher_;
};

} // namespace tidemark::linux_platform::wayland
