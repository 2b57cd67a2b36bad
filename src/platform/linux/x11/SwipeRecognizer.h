#pragma once

#include "statusbar/EventPoster.h"

#include <optional>

namespace tidemark::linux_platform {

// Reads posted events back into completed desktop swipes: began (dock swipe, phase 1),
// gesture, ended (dock swipe, phase 4, progress ±1), gesture. Anything out of order starts
// over, so only whole swipes become steps.
class SwipeRecognizer {
public:
    // The direction of the swipe this event completes (true: forward), if it completes one.
    std::optional<bool> feed(const RecordedEvent& event);

private:
    enum class Stage { Idle, Began, BeganGesture, Ended };
    Stage stage_ = Stage::Idle;
    bool forward_ = false;
};

} // namespace tidemark::linux_platform
