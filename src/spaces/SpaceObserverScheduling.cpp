#include "preferences/SettingsKeys.h"
#include "spaces/SpaceObserver.h"

namespace tidemark {

// Event handling comes with the scheduling work; until then the observer only refreshes
// when asked.
void SpaceObserver::startObserving() {
    updateWindowCheckTimer();
}

SpaceObserver::~SpaceObserver() = default;

void SpaceObserver::updateSpaceInformation() {
    if (!isSystemActive_)
        return;
    const TimeSeconds now = services_.mainQueue.now();
    const TimeSeconds elapsed = now - lastUpdateTime_;
    if (elapsed >= minimumUpdateInterval_) {
        lastUpdateTime_ = now;
        refreshSpaces();
        return;
    }
    if (pendingUpdateWorkItem_)
        pendingUpdateWorkItem_->cancel();
    std::weak_ptr<SpaceObserver> weakSelf = weak_from_this();
    pendingUpdateWorkItem_ =
        services_.mainQueue.asyncAfter(minimumUpdateInterval_ - elapsed, [weakSelf] {
            if (auto self = weakSelf.lock())
                self->updateSpaceInformation();
        });
}

void SpaceObserver::updateSpaceInformationIfNeeded() {
    if (!isSystemActive_)
        return;
    if (pendingUpdateWorkItem_)
        pendingUpdateWorkItem_->cancel();
    std::weak_ptr<SpaceObserver> weakSelf = weak_from_this();
    pendingUpdateWorkItem_ = services_.mainQueue.asyncAfter(0.05, [weakSelf] {
        if (auto self = weakSelf.lock())
            self->updateSpaceInformation();
    });
}

void SpaceObserver::updateWindowCheckTimer() {}

} // namespace tidemark
