#include "platform/linux/wayland/WaylandWorkspace.h"

#include "platform/linux/apps/GenericAppIcon.h"
#include "platform/linux/proc/ProcFiles.h"
#include "platform/linux/session/JournalLog.h"
#include "platform/linux/x11/XSettings.h"

#include <cstdlib>
#include <unistd.h>

namespace tidemark::linux_platform::wayland {

namespace {

// A stream that ends is opened again after a pause, up to this many times in a row without a
// readable event in between: a compositor that only sends garbage is not followed for ever.
constexpr int kResubscribeAttempts = 50;
constexpr TimeSeconds kResubscribeDelay = 0.1;

using Kind = WorkspaceEventKind;

WorkspaceEvent appEvent(Kind kind, const RunningApplication& app) {
    return {kind, EventApp{app.pid, app.bundleIdentifier}};
}

std::optional<std::int32_t> focusedPid(const Windows& windows) {
    for (const auto& window : windows)
        if (window.focused)
            return window.pid;
    return std::nullopt;
}

} // namespace

WaylandWorkspace::WaylandWorkspace(CompositorSession& session, MainQueue& mainQueue,
                                   std::shared_ptr<const DesktopEntries> entries,
                                   std::function<void()> lost)
    : session_(session), mainQueue_(mainQueue), entries_(std::move(entries)),
      lost_(std::move(lost)) {}

WaylandWorkspace::~WaylandWorkspace() {
    watcher_.reset();
    *alive_ = false;
}

const WaylandWorkspace::AppMap& WaylandWorkspace::currentAppsLocked() {
    auto windows = session_.windows();
    if (!windows || windows == tableWindows_)
        return apps_;
    if (observing_)
        recordOwnersLocked(*windows);
    apps_ = appsOf(*windows, *entries_, owners_);
    // This program's own windows are no app of the desktop's to list or quit.
    apps_.erase(::getpid());
    std::vector<RunningApplication> apps;
    apps.reserve(apps_.size());
    for (const auto& [pid, app] : apps_)
        apps.push_back(app.application);
    sharedApps_ = std::make_shared<const std::vector<RunningApplication>>(std::move(apps));
    tableWindows_ = std::move(windows);
    return apps_;
}

void WaylandWorkspace::recordOwnersLocked(const Windows& windows) {
    SeenOwners seen;
    for (const auto& window : windows) {
        if (!window.pid)
            continue;
        if (const auto known = owners_.find(window.id);
            known != owners_.end() && known->second.pid == *window.pid)
            seen.insert(*known);
        else
            seen.emplace(window.id, SeenWindowOwner{*window.pid, linux_proc::processStartTicks(
                                                                     "/proc", *window.pid)});
    }
    owners_ = std::move(seen);
}

RunningApplications WaylandWorkspace::sharedRunningApplications() {
    std::lock_guard lock(mutex_);
    currentAppsLocked();
    return sharedApps_;
}

std::vector<RunningApplication> WaylandWorkspace::runningApplications() {
    return *sharedRunningApplications();
}

Appearance WaylandWorkspace::effectiveAppearance() {
    const char* variable = std::getenv("GTK_THEME");
    return xsettings::resolveAppearance(
        {portalColorScheme_, std::nullopt,
         variable ? std::optional<std::string>(variable) : std::nullopt});
}

void WaylandWorkspace::setPortalColorScheme(std::optional<std::uint32_t> scheme) {
    portalColorScheme_ = scheme;
    const auto now = effectiveAppearance();
    if (announcedAppearance_ == now)
        return;
    const bool first = !announcedAppearance_;
    announcedAppearance_ = now;
    if (!first)
        postLater({Kind::AppearanceChanged});
}

ImageRef WaylandWorkspace::genericApplicationIcon() {
    return genericAppIcon();
}

bool WaylandWorkspace::isApplicationInstalled(const std::string& bundleIdentifier) {
    return installed_.isInstalled(bundleIdentifier);
}

bool WaylandWorkspace::terminate(std::int32_t pid) {
    const auto windows = session_.freshWindows();
    if (!windows)
        return false;
    const auto apps = appsOf(*windows, *entries_);
    const auto app = apps.find(pid);
    return app != apps.end() && session_.closeWindows(app->second.windows);
}

void WaylandWorkspace::postLater(WorkspaceEvent event) {
    std::weak_ptr<bool> alive = alive_;
    mainQueue_.async([this, alive, event = std::move(event)] {
        if (auto flag = alive.lock(); flag && *flag)
            workspaceEvents_.post(event);
    });
}

// Posted together in the turn that read them, once the session's tables are current: the one
// refresh they set off reads what the dispatch just wrote, without another hop through the
// queue.
void WaylandWorkspace::postAnnounced() {
    workspaceEvents_.postBatch(std::exchange(announced_, {}));
}

void WaylandWorkspace::startObserving() {
    if (watcher_)
        return;
    events_ = session_.subscribe();
    session_.followEvents();
    {
        std::lock_guard lock(mutex_);
        observing_ = true;
        // Read again now, with the owners recorded from here on.
        tableWindows_.reset();
        currentAppsLocked();
        if (tableWindows_)
            activePid_ = focusedPid(*tableWindows_);
    }
    setPortalColorScheme(portalColorScheme_);
    if (!events_)
        resubscribe(0);
    watcher_ = std::make_unique<FdWatcher>(mainQueue_, *this);
    // Events that came with the subscription's answer are read already: no descriptor tells.
    dispatchEvents();
}

std::vector<int> WaylandWorkspace::eventFds() {
    if (!events_)
        return {};
    return {events_->fd()};
}

void WaylandWorkspace::dispatchEvents() {
    if (!events_)
        return;
    const auto changes = events_->take();
    const bool ended = events_->ended();
    if (changes.any()) {
        session_.changed(changes);
        endedStreams_ = 0;
    }
    if (changes.touchesWindows())
        diffApps();
    if (changes.touchesWorkspaces())
        announced_.push_back({Kind::ActiveSpaceChanged});
    if (changes.outputs)
        announced_.push_back({Kind::ScreenParametersChanged});
    postAnnounced();
    if (!ended)
        return;
    events_.reset();
    // The watcher must not poll a descriptor that is closed now.
    if (watcher_)
        watcher_->descriptorsChanged();
    // A compositor that closed its stream and takes no requests has ended the session.
    if (!session_.isReachable()) {
        lost_();
        return;
    }
    resubscribe(++endedStreams_);
}

void WaylandWorkspace::resubscribe(int attempt) {
    if (resubscribing_)
        return;
    if (attempt >= kResubscribeAttempts) {
        JournalLog().error("wayland", "ipc",
                           std::string(session_.name()) +
                               " keeps ending its event stream; its events are no longer followed");
        return;
    }
    resubscribing_ = true;
    std::weak_ptr<bool> alive = alive_;
    mainQueue_.asyncAfter(kResubscribeDelay, [this, alive, attempt] {
        if (auto flag = alive.lock(); !flag || !*flag)
            return;
        resubscribing_ = false;
        events_ = session_.subscribe();
        if (watcher_)
            watcher_->descriptorsChanged();
        if (!events_) {
            resubscribe(attempt + 1);
            return;
        }
        // Whatever happened while no events came is read again.
        session_.changed({.workspaces = true, .outputs = true, .windows = true});
        diffApps();
        announced_.push_back({Kind::ActiveSpaceChanged});
        announced_.push_back({Kind::ScreenParametersChanged});
        postAnnounced();
        dispatchEvents();
    });
}

void WaylandWorkspace::diffApps() {
    AppMap previous;
    AppMap current;
    std::optional<std::int32_t> focused;
    {
        std::lock_guard lock(mutex_);
        previous = apps_;
        current = currentAppsLocked();
        if (tableWindows_)
            focused = focusedPid(*tableWindows_);
    }
    for (const auto& [pid, app] : current)
        if (!previous.contains(pid))
            announced_.push_back(appEvent(Kind::AppLaunched, app.application));
    for (const auto& [pid, app] : previous)
        if (!current.contains(pid))
            announced_.push_back(appEvent(Kind::AppTerminated, app.application));
    if (focused == activePid_)
        return;
    const auto before = std::exchange(activePid_, focused);
    if (before)
        if (const auto it = previous.find(*before); it != previous.end())
            announced_.push_back(appEvent(Kind::AppDeactivated, it->second.application));
    if (focused)
        if (const auto it = current.find(*focused); it != current.end())
            announced_.push_back(appEvent(Kind::AppActivated, it->second.application));
}

} // namespace tidemark::linux_platform::wayland
