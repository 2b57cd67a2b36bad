#include "preferences/SettingsKeys.h"
#include "spaces/SpaceObserver.h"
#include "spaces/WindowSpaceMapper.h"

namespace tidemark {
namespace {

// Delayed actions and notification handlers hold the observer weakly: one that finds it
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
    auto& workspaceCenter = services_.workspace.notificationCenter();
    auto& defaultCenter = services_.defaultCenter;
    const std::weak_ptr<SpaceObserver> weakSelf = weak_from_this();
    auto observe = [&](NotificationCenter& center, const char* name, auto handler) {
        observations_.push_back(center.addObserver(
            name, weakly(weakSelf, [handler](SpaceObserver& self, const Notification& note) {
                handler(self, note);
            })));
    };

    observe(workspaceCenter, kActiveSpaceDidChangeNotification,
            [](SpaceObserver& self, const Notification&) { self.handleActiveSpaceChange(); });
    observe(workspaceCenter, kDidLaunchApplicationNotification,
            [](SpaceObserver& self, const Notification& n) { self.handleAppLaunched(n); });
    observe(workspaceCenter, kDidTerminateApplicationNotification,
            [](SpaceObserver& self, const Notification& n) { self.handleAppTerminated(n); });
    observe(workspaceCenter, kDidHideApplicationNotification,
            [](SpaceObserver& self, const Notification& n) { self.handleAppHidden(n); });
    observe(workspaceCenter, kDidUnhideApplicationNotification,
            [](SpaceObserver& self, const Notification& n) { self.handleAppUnhidden(n); });
    observe(workspaceCenter, kDidActivateApplicationNotification,
            [](SpaceObserver& self, const Notification& n) { self.handleAppActivated(n); });
    observe(workspaceCenter, kDidDeactivateApplicationNotification,
            [](SpaceObserver& self, const Notification& n) { self.handleAppDeactivated(n); });

    observe(
        defaultCenter, kScreenParametersDidChangeNotification,
        [](SpaceObserver& self, const Notification&) { self.handleDisplayConfigurationChange(); });
    observe(defaultCenter, settings::kButtonPressedNotification,
            [](SpaceObserver& self, const Notification&) { self.handlePreferenceChange(); });
    observations_.push_back(services_.settings.observeChanges(
        weakly(weakSelf, [](SpaceObserver& self, std::string_view key) {
            self.handleStoredSettingChange(key);
        })));

    if (services_.memoryPressure)
        memoryPressureSource_ = services_.memoryPressure->startSource(
            weakly(weakSelf, [](SpaceObserver& self) { self.handleMemoryWarning(); }));

    observe(workspaceCenter, kScreensDidSleepNotification,
            [](SpaceObserver& self, const Notification&) { self.handleScreenSleep(); });
    observe(workspaceCenter, kScreensDidWakeNotification,
            [](SpaceObserver& self, const Notification&) { self.handleScreenWake(); });
    observe(workspaceCenter, kSessionDidResignActiveNotification,
            [](SpaceObserver& self, const Notification&) { self.handleSessionResigned(); });
    observe(workspaceCenter, kSessionDidBecomeActiveNotification,
            [](SpaceObserver& self, const Notification&) { self.handleSessionActive(); });

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

void SpaceObserver::handleAppLaunched(const Notification&) {
    ensureWindowCheckTimer();
    scheduleBurstUpdates(burst::kAppLaunched);
}

// Runs even while inactive, so a quit app leaves the strip at once.
void SpaceObserver::handleAppTerminated(const Notification& notification) {
    if (const Value* app = findIn(notification.userInfo, kWorkspaceApplicationKey)) {
        const Value* identifier = app->find("bundleIdentifier");
        if (const std::string* bundleIdentifier = identifier ? identifier->asString() : nullptr)
            windowSpaceMapper_.removeCachedIcon(stripHelperSuffix(*bundleIdentifier));
    }
    ensureWindowCheckTimer();
    cancelBurstUpdates();
    cancelPendingUpdate();
    stampedRefresh();
    scheduleFollowUpRefresh(0.05);
}

void SpaceObserver::handleAppHidden(const Notification&) {
    ensureWindowCheckTimer();
    cancelBurstUpdates();
    cancelPendingUpdate();
    stampedRefresh();
}

void SpaceObserver::handleAppUnhidden(const Notification&) {
    ensureWindowCheckTimer();
    scheduleBurstUpdates(burst::kAppUnhidden);
}

void SpaceObserver::handleAppActivated(const Notification&) {
    ensureWindowCheckTimer();
    scheduleBurstUpdates(burst::kAppActivated);
}

void SpaceObserver::handleAppDeactivated(const Notification&) {
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
