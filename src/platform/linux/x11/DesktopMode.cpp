#include "platform/linux/x11/DesktopMode.h"

namespace tidemark::linux_platform {

DesktopModeTracker::Mode DesktopModeTracker::record(i3::Reach reach, Clock::time_point now) {
    if (reach != i3::Reach::Unreachable) {
        mode_ = reach == i3::Reach::Connected ? Mode::I3 : Mode::Ewmh;
        unreachableSince_.reset();
        nextProbe_.reset();
        return mode_;
    }
    if (!unreachableSince_)
        unreachableSince_ = now;
    if (mode_ == Mode::I3 && now - *unreachableSince_ >= kGrace)
        mode_ = Mode::Ewmh;
    nextProbe_ = now + kProbeInterval;
    return mode_;
}

} // namespace tidemark::linux_platform
