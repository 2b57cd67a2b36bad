#pragma once

#include "platform/linux/i3/I3Ipc.h"

#include <chrono>
#include <optional>

namespace tidemark::linux_platform {

// Whether the desktop is read through i3 or through EWMH, from what probes for i3 found.
// A socket that i3 still advertises but that takes no connection is a moment of load or a
// restart, not the end of i3: i3 mode holds through a grace period, and after it (i3 may
// have died and left its property behind) EWMH answers while i3 is probed again now and
// then. Only a socket no longer advertised means no i3.
class DesktopModeTracker {
public:
    enum class Mode { I3, Ewmh };
    using Clock = std::chrono::steady_clock;

    static constexpr auto kGrace = std::chrono::seconds(5);
    static constexpr auto kProbeInterval = std::chrono::seconds(2);

    Mode mode() const { return mode_; }
    // Whether EWMH answers only for want of a connection to an advertised i3.
    bool isProbePending() const { return mode_ == Mode::Ewmh && nextProbe_.has_value(); }
    // Whether, moreover, it is time to try again.
    bool isProbeDue(Clock::time_point now) const { return isProbePending() && now >= *nextProbe_; }
    Mode record(i3::Reach reach, Clock::time_point now);

private:
    Mode mode_ = Mode::Ewmh;
    std::optional<Clock::time_point> unreachableSince_;
    std::optional<Clock::time_point> nextProbe_;
};

} // namespace tidemark::linux_platform
