#pragma once

#include "foundation/MainQueue.h"
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
};

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

    WindowSpaceMapper& windowSpaceMapper() { return windowSpaceMapper_; }
    const std::string& previousSpaceSnapshot() const { return previousSpaceSnapshot_; }
    bool isSystemActive() const { return isSystemActive_; }
    bool hasWindowCheckTimer() const { return windowCheckTimer_ != nullptr; }

    // Observers of each refresh, for diagnostics and replays: called with whether the
    // delegate received a new snapshot.
    using RefreshListener = std::function<void(bool published)>;
    void setRefreshListener(RefreshListener listener) { refreshListener_ = std::move(listener); }

private:
    explicit SpaceObserver(SpaceObserverServices services);
    void startObserving();
    void updateSpaceNameStore(const SpaceNameMap& names);
    bool isOpenedAppsStyle() const;

    // Scheduling (defined with the event handlers).
    void updateWindowCheckTimer();

    SpaceObserverServices services_;
    std::int32_t conn_;
    WindowSpaceMapper windowSpaceMapper_;
    std::shared_ptr<RepeatingTimer> windowCheckTimer_;
    std::string previousSpaceSnapshot_;
    std::vector<std::shared_ptr<WorkItem>> burstWorkItems_;
    std::shared_ptr<WorkItem> pendingUpdateWorkItem_;
    TimeSeconds lastUpdateTime_ = kDistantPast;
    TimeSeconds minimumUpdateInterval_ = 0.1;
    std::optional<ByteString> cachedSpaceNamesData_;
    std::optional<SpaceNameMap> cachedSpaceNames_;
    bool isSystemActive_ = true;
    std::vector<ObservationToken> observations_;
    std::weak_ptr<SpaceObserverDelegate> delegate_;
    RefreshListener refreshListener_;
};

} // namespace tidemark
