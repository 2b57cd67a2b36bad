#pragma once

#include "foundation/MainQueue.h"
#include "platform/linux/FdWatcher.h"
#include "platform/linux/apps/DesktopEntries.h"
#include "platform/linux/apps/InstalledApplications.h"
#include "platform/linux/i3/I3Ipc.h"
#include "platform/linux/x11/ClientApps.h"
#include "platform/linux/x11/DesktopEvents.h"
#include "platform/linux/x11/DesktopModel.h"
#include "platform/linux/x11/WindowFacts.h"
#include "platform/linux/x11/XConnection.h"
#include "platform/linux/x11/XSettingsWatcher.h"
#include "spaces/Workspace.h"

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <set>

namespace tidemark::linux_platform {

// The running applications of an X11 desktop: the processes that own client windows, each an
// app of its own, named and identified through desktop entries (else WM_CLASS); this
// program is none of them. Its notifications come from
// the X event stream and i3's subscriptions, watched on a thread and handled on the main
// queue. Events arrive on a connection of their own, on which nothing else waits for
// replies: xcb would otherwise read them into its queue while a refresh waits, where no
// readable descriptor announces them.
//
// The table of clients and their apps is kept current from those events while observing,
// and the running applications and icon lookups answer from it; without events, a table
// younger than a refresh answers.
class X11Workspace final : public Workspace, public EventSource {
public:
    static constexpr const char* kOwnBundleIdentifier = "tidemark";

    // `x` answers the queries, `events` carries the event stream.
    X11Workspace(std::shared_ptr<XConnection> x, std::shared_ptr<XConnection> events,
                 MainQueue& mainQueue, std::shared_ptr<const DesktopEntries> entries);
    ~X11Workspace() override;

    std::vector<RunningApplication> runningApplications() override;
    RunningApplications sharedRunningApplications() override;
    AppCounting appCounting() const override { return AppCounting::ByProcess; }
    Appearance effectiveAppearance() override;
    std::optional<std::string> ownBundleIdentifier() override { return kOwnBundleIdentifier; }
    ImageRef iconForFile(const std::string& path) override;
    ImageRef applicationIcon(std::int32_t pid) override;
    ImageRef genericApplicationIcon() override;
    // The Icon= value of the desktop entry of an app key (a theme icon name or a file path);
    // the UI decodes it. Nothing for an app without an entry or an entry without an icon.
    std::optional<std::string> desktopIconName(const std::string& appKey) const;
    bool isApplicationInstalled(const std::string& bundleIdentifier) override;
    // Polite: closes each window the process owns at this moment (closeWindowsPolitely);
    // false when nothing could be sent. X has no forced quit of its own: the quit
    // procedure's signals, each checked against the process's start stamp, are the rest.
    bool terminate(std::int32_t pid) override;
    WorkspaceEvents& events() override { return workspaceEvents_; }

    // Subscribes to the root window, the client windows, RandR, XSETTINGS and i3; main queue
    // only.
    void startObserving();
    // Called on the main queue, before any notification, whenever the X server or i3
    // reported anything at all, with what the events may have changed.
    void setDesktopEventListener(std::function<void(const desktop::EventTurn&)> listener) {
        desktopEventListener_ = std::move(listener);
    }
    // The desktop portal's colour-scheme preference, when it has one; main queue only.
    void setPortalColorScheme(std::optional<std::uint32_t> scheme);
    // The event handling, on the main queue (the watcher calls them).
    std::vector<int> eventFds() override;
    void dispatchEvents() override;

private:
    using AppMap = ClientApps;

    using Clock = std::chrono::steady_clock;

    AppMap readApps(const std::vector<WindowFacts>& facts) const;
    AppMap readAppsLocked();
    // The table, read afresh unless events or a recent read vouch for it.
    const AppMap& currentAppsLocked();
    // Takes the client list just read, asking X only about windows the table does not hold;
    // whether the list changed.
    bool refreshClientsLocked(const std::vector<xcb_window_t>& list);
    // Rereads the facts of clients whose properties changed; whether any did.
    bool refreshWindowsLocked(const std::set<xcb_window_t>& windows);
    // Notes who owns each of these clients, unless noted already for the same pid.
    void recordOwnersLocked(const std::vector<const WindowFacts*>& windows);
    void rebuildAppsLocked();
    void watchClientWindows(const std::vector<xcb_window_t>& windows);
    // Subscribes to i3's events; whether i3 is advertised but did not subscribe.
    bool connectI3();
    void scheduleI3Reconnect(int attempt);
    // i3's events, then the X server's; the first returns whether it told of a workspace or
    // output change, which leaves the X events to the next turn.
    bool dispatchI3Events();
    void dispatchXEvents();
    // Posts the app events of what changed; whether a window's urgency did.
    bool diffApps(bool clientsChanged, const std::set<xcb_window_t>& changedWindows);
    // From the reply to an active-window request already sent.
    void updateActiveApp(xcb_get_property_cookie_t activeWindow);
    // The owner of a client i3 says has the focus.
    void activateClient(xcb_window_t window);
    // Announces the deactivation and activation when the active app changes.
    void activate(std::optional<std::int32_t> pid);
    void announce(WorkspaceEvent event);
    // Tells the window server what a turn changed, then announces the space and screen
    // changes; the caller adds its own and posts.
    void tellTurn(const desktop::EventTurn& turn, bool spaceChanged, bool screenChanged);
    void postAnnounced();
    void announceAppearanceIfChanged();

    std::shared_ptr<XConnection> x_;
    std::shared_ptr<XConnection> events_;
    MainQueue& mainQueue_;
    std::shared_ptr<const DesktopEntries> entries_;
    const linux_proc::InstalledApplications installed_ =
        linux_proc::InstalledApplications::fromEnvironment();
    WorkspaceEvents workspaceEvents_;
    // Main queue only.
    std::vector<WorkspaceEvent> announced_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

    std::mutex mutex_;
    // Client windows in client-list order, and the apps and answer made of them.
    std::vector<WindowFacts> clients_;
    AppMap lastApps_;
    RunningApplications sharedApps_;
    Clock::time_point tableTime_{};
    bool tableRead_ = false;
    std::set<xcb_window_t> watchedWindows_;
    // Clients watched since the last desktop event turn was announced.
    std::vector<xcb_window_t> newlyWatched_;
    // The owner of each client as it was when the client was first seen, while observing:
    // a pid alone may pass to another process once the window's owner has ended.
    WindowOwners owners_;
    std::optional<std::int32_t> activePid_;
    std::uint8_t randrEventBase_ = 0;
    bool hasRandr_ = false;
    bool observing_ = false;
    // The appearance: the portal's preference, else the XSETTINGS theme, else GTK_THEME.
    XSettingsWatcher xsettings_{x_, events_};
    std::optional<std::uint32_t> portalColorScheme_;
    std::optional<Appearance> announcedAppearance_;
    std::function<void(const desktop::EventTurn&)> desktopEventListener_;
    std::unique_ptr<i3::Connection> i3Events_;
    bool i3ReconnectPending_ = false;
    // Last, so that it stops before anything it dispatches to goes away.
    std::unique_ptr<FdWatcher> watcher_;
};

} // namespace tidemark::linux_platform
