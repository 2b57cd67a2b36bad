#include "preferences/SettingsKeys.h"
#include "spaces/SpaceObserver.h"
#include "spaces/WindowSpaceMapper.h"

#include <utility>

namespace tidemark {
namespace {

// Delayed actions and event handlers hold the observer weakly: one that finds it
// gone does nothing.
template <typename Action> auto weakly(std::weak_ptr<SpaceObserver> weakSelf, Action action) {
    return [weakSelf = std::move(weakSelf), action = std::move(action)](auto&&... args) {
        if (auto self = weakSelf.lock())
            action(*self, std::forward<decltype(args)>(args)...);
    };
}

constexpr TimeSeconds kThrottleSlack = 1e-9;
constexpr TimeSeconds kStoredSettingSettleDelay = 0.05;

} // namespace

void SpaceObserver::startObserving() {
    auto& events = services_.workspace.events();
    const std::weak_ptr<SpaceObserver> weakSelf = weak_from_this();
    // Only the termination handler reads the event.
    auto observe = [&](WorkspaceEventKind kind, void (SpaceObserver::*handler)()) {
        observations_.push_back(events.addObserver(
            kind, weakly(weakSelf, [handler](SpaceObserver& self, const WorkspaceEvent&) {
                (self.*handler)();
            })));
    };
    using Kind = WorkspaceEventKind;

    observe(Kind::ActiveSpaceChanged, &SpaceObserver::handleActiveSpaceChange);
    observe(Kind::AppLaunched, &SpaceObserver::handleAppLaunched);
    observations_.push_back(events.addObserver(
        Kind::AppTerminated, weakly(weakSelf, [](SpaceObserver& self, const WorkspaceEvent& event) {
            self.handleAppTerminated(event.app);
        })));
    observe(Kind::AppHidden, &SpaceObserver::handleAppHidden);
    observe(Kind::AppUnhidden, &SpaceObserver::handleAppUnhidden);
    observe(Kind::AppActivated, &SpaceObserver::handleAppActivated);
    observe(Kind::AppDeactivated, &SpaceObserver::handleAppDeactivated);
    observe(Kind::ScreenParametersChanged, &SpaceObserver::handleDisplayConfigurationChange);
    observations_.push_back(events.addBatchEndObserver(weakly(weakSelf, [](SpaceObserver& self) {
        if (std::exchange(self.refreshAfterBatch_, false))
            self.refreshSpaces();
    })));

    observations_.push_back(services_.defaultCenter.addObserver(
        settings::kButtonPressedNotification,
        weakly(weakSelf,
               [](SpaceObserver& self, const Notification&) { self.handlePreferenceChange(); })));
    observations_.push_back(services_.settings.observeChanges(
        weakly(weakSelf, [](SpaceObserver& self, std::string_view key) {
            self.handleStoredSettingChange(key);
        })));

    if (services_.memoryPressure)
        memoryPressureSource_ = services_.memoryPressure->startSource(
            weakly(weakSelf, [](SpaceObserver& self) { self.handleMemoryWarning(); }));

    observe(Kind::ScreensSlept, &SpaceObserver::handleScreenSleep);
    observe(Kind::ScreensWoke, &SpaceObserver::handleScreenWake);
    observe(Kind::SessionResigned, &SpaceObserver::handleSessionResigned);
    observe(Kind::SessionBecameActive, &SpaceObserver::handleSessionActive);

    updateWindowCheckTimer();
}

SpaceObserver::~SpaceObserver() {
    if (memoryPressureSource_)
        memoryPressureSource_->cancel();
    if (windowCheckTimer_)
        windowCheckTimer_->invalidate();
    cancelBurstUpdates();
    cancelPendingUpdate();
    if (pendingPreferenceChange_)
        pendingPreferenceChange_->cancel();
    observations_.clear();
}

void SpaceObserver::stampedRefresh() {
    lastUpdateTime_ = services_.mainQueue.now();
    // Events the workspace learnt of together (a switch's focus and activation) ask for one
    // refresh, made once the last of them is handled, in the same turn.
    if (services_.workspace.events().isDeliveringBatch()) {
        refreshAfterBatch_ = true;
        return;
    }
    refreshSpaces();
}

void SpaceObserver::cancelPendingUpdate() {
    if (pendingUpdateWorkItem_)
        pendingUpdateWorkItem_->cancel();
}

void SpaceObserver::updateSpaceInformation() {
    if (!isSystemActive_)
        return;
    const TimeSeconds elapsed = services_.mainQueue.now() - lastUpdateTime_;
    // The slack absorbs rounding: a deferred refresh that fires when the interval is up
    // must not find it a rounding residue short and defer itself by that residue forever.
    if (elapsed + kThrottleSlack >= minimumUpdateInterval_) {
        stampedRefresh();
        return;
    }
    cancelPendingUpdate();
    pendingUpdateWorkItem_ = services_.mainQueue.asyncAfter(
        minimumUpdateInterval_ - elapsed,
        weakly(weak_from_this(), [](SpaceObserver& self) { self.updateSpaceInformation(); }));
}

void SpaceObserver::updateSpaceInformationIfNeeded() {
    if (!isSystemActive_)
        return;
    cancelPendingUpdate();
    pendingUpdateWorkItem_ = services_.mainQueue.asyncAfter(
        0.05, weakly(weak_from_this(), [](SpaceObserver& self) { self.updateSpaceInformation(); }));
}

void SpaceObserver::cancelBurstUpdates() {
    for (const auto& item : burstWorkItems_)
        item->cancel();
    burstWorkItems_.clear();
}

void SpaceObserver::scheduleBurstUpdates(const std::vector<double>& delays) {
    if (!isSystemActive_)
        return;
    cancelBurstUpdates();
    stampedRefresh();
    for (const double delay : delays)
        burstWorkItems_.push_back(
            services_.mainQueue.asyncAfter(delay, weakly(weak_from_this(), [](SpaceObserver& self) {
                                               if (self.isSystemActive_)
                                                   self.stampedRefresh();
                                           })));
}

// A follow-up of a space switch or a termination: a direct refresh, whatever the state.
void SpaceObserver::scheduleFollowUpRefresh(TimeSeconds delay) {
    burstWorkItems_.push_back(services_.mainQueue.asyncAfter(
        delay, weakly(weak_from_this(), [](SpaceObserver& self) { self.refreshSpaces(); })));
}

void SpaceObserver::updateWindowCheckTimer() {
    if (isSystemActive_ && settings::isOpenedAppsStyle(services_.settings)) {
        if (!windowCheckTimer_)
            startWindowCheckTimer();
        return;
    }
    stopWindowCheckTimer();
}

void SpaceObserver::startWindowCheckTimer() {
    if (!isSystemActive_)
        return;
    stopWindowCheckTimer();
    if (!settings::isOpenedAppsStyle(services_.settings))
        return;
    windowCheckTimer_ = services_.mainQueue.scheduleRepeatingTimer(
        kWindowCheckInterval, kWindowCheckTolerance,
        weakly(weak_from_this(), [](SpaceObserver& self) { self.updateSpaceInformation(); }));
    if (timerListener_)
        timerListener_(true);
}

void SpaceObserver::stopWindowCheckTimer() {
    if (!windowCheckTimer_)
        return;
    windowCheckTimer_->invalidate();
    windowCheckTimer_.reset();
    if (timerListener_)
        timerListener_(false);
}

void SpaceObserver::ensureWindowCheckTimer() {
    if (!windowCheckTimer_)
        updateWindowCheckTimer();
}

void SpaceObserver::handleActiveSpaceChange() {
    if (!isSystemActive_)
        return;
    ensureWindowCheckTimer();
    cancelBurstUpdates();
    cancelPendingUpdate();
    stampedRefresh();
    scheduleFollowUpRefresh(0.15);
}

void SpaceObserver::handleAppLaunched() {
    ensureWindowCheckTimer();
    scheduleBurstUpdates(burst::kAppLaunched);
}

// Runs even while inactive, so a quit app leaves the strip at once.
void SpaceObserver::handleAppTerminated(const std::optional<EventApp>& app) {
    if (app && app->bundleIdentifier)
        windowSpaceMapper_.removeCachedIcon(stripHelperSuffix(*app->bundleIdentifier));
    ensureWindowCheckTimer();
    cancelBurstUpdates();
    cancelPendingUpdate();
    stampedRefresh();
    scheduleFollowUpRefresh(0.05);
}

void SpaceObserver::handleAppHidden() {
    ensureWindowCheckTimer();
    cancelBurstUpdates();
    cancelPendingUpdate();
    stampedRefresh();
}

void SpaceObserver::handleAppUnhidden() {
    ensureWindowCheckTimer();
    scheduleBurstUpdates(burst::kAppUnhidden);
}

void SpaceObserver::handleAppActivated() {
    ensureWindowCheckTimer();
    scheduleBurstUpdates(burst::kAppActivated);
}

void SpaceObserver::handleAppDeactivated() {
    ensureWindowCheckTimer();
    scheduleBurstUpdates(burst::kAppDeactivated);
}

void SpaceObserver::handleDisplayConfigurationChange() {
    lastUpdateTime_ = kDistantPast;
    ensureWindowCheckTimer();
    updateSpaceInformation();
}

void SpaceObserver::handlePreferenceChange() {
    if (pendingPreferenceChange_) {
        pendingPreferenceChange_->cancel();
        pendingPreferenceChange_.reset();
    }
    updateWindowCheckTimer();
    updateSpaceInformation();
}

// The preferences controls post "ButtonPressed" right after their write, so a short wait
// keeps their change to one refresh; a write from elsewhere gets its refresh all the same.
void SpaceObserver::handleStoredSettingChange(std::string_view key) {
    if (!settings::changesMenuBarImage(key) || pendingPreferenceChange_)
        return;
    pendingPreferenceChange_ = services_.mainQueue.asyncAfter(
        kStoredSettingSettleDelay,
        weakly(weak_from_this(), [](SpaceObserver& self) { self.handlePreferenceChange(); }));
}

void SpaceObserver::handleScreenSleep() {
    deactivate();
}
void SpaceObserver::handleScreenWake() {
    activate();
}
void SpaceObserver::handleSessionResigned() {
    deactivate();
}
void SpaceObserver::handleSessionActive() {
    activate();
}

void SpaceObserver::handleMemoryWarning() {
    windowSpaceMapper_.pruneIconCache();
    cachedSpaceNames_.reset();
    cachedSpaceNamesData_.reset();
}

void SpaceObserver::deactivate() {
    isSystemActive_ = false;
    cancelBurstUpdates();
    cancelPendingUpdate();
    stopWindowCheckTimer();
}

void SpaceObserver::activate() {
    isSystemActive_ = true;
    ensureWindowCheckTimer();
    updateSpaceInformation();
}

} // namespace tidemark
