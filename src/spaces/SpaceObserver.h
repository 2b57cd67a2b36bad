#pragma once

#include "foundation/ImageScaler.h"
#include "foundation/MainQueue.h"
#include "foundation/MemoryPressure.h"
#include "foundation/NotificationCenter.h"
#include "foundation/SettingsStore.h"
#include "spaces/Space.h"
#include "spaces/WindowServer.h"
#include "spaces/WindowSpaceMapper.h"
#include "spaces/Workspace.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tidemark {

class SpaceObserverDelegate {
public:
    virtual ~SpaceObserverDelegate() = default;
    virtual void didUpdateSpaces(const std::vector<Space>& spaces) = 0;
};

// The platform services the observer reads and listens to.
struct SpaceObserverServices {
    MainQueue& mainQueue;
    SettingsStore& settings;
    WindowServer& windowServer;
    Workspace& workspace;
    NotificationCenter& defaultCenter;
    // Without it the observer never hears of memory pressure.
    MemoryPressureEvents* memoryPressure = nullptr;
    // Without it app icons are scaled by the plain bitmap scaler.
    const ImageScaler* imageScaler = nullptr;
    // Without it app icons are loaded from the workspace.
    const AppIconSource* appIcons = nullptr;
};

// Follow-up refreshes after app events, in seconds after the event.
namespace burst {
inline const std::vector<double> kAppLaunched{0.08, 0.2, 0.45, 0.85, 1.4, 2.2};
inline const std::vector<double> kAppUnhidden{0.08, 0.25, 0.6};
inline const std::vector<double> kAppActivated{0.08, 0.25, 0.6};
inline const std::vector<double> kAppDeactivated{0.05, 0.2};
} // namespace burst

// The single source of the space list: builds snapshots and decides when to rebuild them.
class SpaceObserver : public std::enable_shared_from_this<SpaceObserver> {
public:
    // Registers for the workspace's and the default centre's notifications.
    static std::shared_ptr<SpaceObserver> create(SpaceObserverServices services);
    ~SpaceObserver();

    void setDelegate(std::weak_ptr<SpaceObserverDelegate> delegate) {
        delegate_ = std::move(delegate);
    }

    // One refresh: read, number and name the spaces, publish when the signature changed.
    void refreshSpaces();
    SpaceNameMap loadSpaceNames();
    std::string
    makeSnapshotSignature(const std::vector<Space>& spaces,
                          const std::map<std::string, std::vector<std::string>>& appKeys) const;

    // Scheduling: the throttled and deferred entries.
    void updateSpaceInformation();
    void updateSpaceInformationIfNeeded();
    void cancelBurstUpdates();
    void scheduleBurstUpdates(const std::vector<double>& delays);
    // Runs the half-second check exactly while active in the opened-apps style.
    void updateWindowCheckTimer();
    void startWindowCheckTimer();

    static constexpr TimeSeconds kWindowCheckInterval = 0.5;
    static constexpr TimeSeconds kWindowCheckTolerance = 0.1;

    // Event handlers, registered with the workspace's events and the default centre at
    // construction.
    void handleActiveSpaceChange();
    void handleAppLaunched();
    void handleAppTerminated(const std::optional<EventApp>& app);
    void handleAppHidden();
    void handleAppUnhidden();
    void handleAppActivated();
    void handleAppDeactivated();
    void handleDisplayConfigurationChange();
    void handlePreferenceChange();
    void handleStoredSettingChange(std::string_view key);
    void handleScreenSleep();
    void handleScreenWake();
    void handleSessionResigned();
    void handleSessionActive();
    void handleMemoryWarning();

    WindowSpaceMapper& windowSpaceMapper() { return windowSpaceMapper_; }
    const std::string& previousSpaceSignature() const { return previousSpaceSignature_; }
    bool isSystemActive() const { return isSystemActive_; }
    bool hasWindowCheckTimer() const { return windowCheckTimer_ != nullptr; }
    const RepeatingTimer* windowCheckTimer() const { return windowCheckTimer_.get(); }

    // Observers of each refresh, for diagnostics and replays: called with whether the
    // delegate received a new snapshot.
    using RefreshListener = std::function<void(bool published)>;
    void setRefreshListener(RefreshListener listener) { refreshListener_ = std::move(listener); }
    // Called when the window-check timer is created (true) or invalidated (false).
    using TimerListener = std::function<void(bool running)>;
    void setTimerListener(TimerListener listener) { timerListener_ = std::move(listener); }

private:
    explicit SpaceObserver(SpaceObserverServices services);
    void startObserving();
    void updateSpaceNameStore(const SpaceNameMap& names);
    bool isOpenedAppsStyle() const;

    // Scheduling helpers (defined with the event handlers).
    void ensureWindowCheckTimer();
    void stopWindowCheckTimer();
    void stampedRefresh();
    void cancelPendingUpdate();
    void scheduleFollowUpRefresh(TimeSeconds delay);
    void activate();
    void deactivate();

    SpaceObserverServices services_;
    WindowSpaceMapper windowSpaceMapper_;
    std::shared_ptr<RepeatingTimer> windowCheckTimer_;
    std::string previousSpaceSignature_;
    std::vector<std::shared_ptr<WorkItem>> burstWorkItems_;
    std::shared_ptr<WorkItem> pendingUpdateWorkItem_;
    // A stored setting that changes the image changed and no "ButtonPressed" came with it
    // yet (another process wrote it); answered as that notification shortly after.
    std::shared_ptr<WorkItem> pendingPreferenceChange_;
    TimeSeconds lastUpdateTime_ = kDistantPast;
    bool refreshAfterBatch_ = false;
    TimeSeconds minimumUpdateInterval_ = 0.1;
    std::optional<ByteString> cachedSpaceNamesData_;
    std::optional<SpaceNameMap> cachedSpaceNames_;
    bool isSystemActive_ = true;
    std::unique_ptr<MemoryPressureSource> memoryPressureSource_;
    std::vector<ObservationToken> observations_;
    std::weak_ptr<SpaceObserverDelegate> delegate_;
    RefreshListener refreshListener_;
    TimerListener timerListener_;
};

} // namespace tidemark
