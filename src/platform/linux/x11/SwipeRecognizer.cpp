#include "platform/linux/x11/SwipeRecognizer.h"

#include "statusbar/DesktopSwitcher.h"

namespace tidemark::linux_platform {

namespace {

using S = DesktopSwitcher;

bool isDockSwipe(const RecordedEvent& event, std::int64_t phase) {
    return event.type() == S::kDockSwipeEventType &&
           event.integerField(S::kFieldHidEventType) == S::kHidDockSwipe &&
           event.integerField(S::kFieldGesturePhase) == phase;
}

bool isGesture(const RecordedEvent& event) {
    return event.type() == S::kGestureEventType;
}

} // namespace

std::optional<bool> SwipeRecognizer::feed(const RecordedEvent& event) {
    if (isDockSwipe(event, S::kPhaseBegan)) {
        stage_ = Stage::Began;
        return std::nullopt;
    }
    switch (stage_) {
    case Stage::Began:
        stage_ = isGesture(event) ? Stage::BeganGesture : Stage::Idle;
        return std::nullopt;
    case Stage::BeganGesture:
        if (isDockSwipe(event, S::kPhaseEnded)) {
            const auto progress = event.doubleField(S::kFieldSwipeProgress);
            if (progress && (*progress >= 1.0 || *progress <= -1.0)) {
                forward_ = *progress > 0;
                stage_ = Stage::Ended;
                return std::nullopt;
            }
        }
        stage_ = Stage::Idle;
        return std::nullopt;
    case Stage::Ended:
        stage_ = Stage::Idle;
        if (isGesture(event))
            return forward_;
        return std::nullopt;
    case Stage::Idle:
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace tidemark::linux_platform
