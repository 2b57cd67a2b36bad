#include "platform/linux/x11/DesktopMode.h"

#include <gtest/gtest.h>

namespace tidemark::linux_platform {
namespace {

using Mode = DesktopModeTracker::Mode;
using i3::Reach;
using namespace std::chrono_literals;

TEST(DesktopModeTracker, AFailedConnectWhileI3IsAdvertisedIsTriedAgainNotTakenForNoI3) {
    struct Step {
        Reach reach;
        std::chrono::milliseconds at;
        Mode mode;
        // Whether EWMH then answers only until i3 is probed again.
        bool probesAgain;
    };
    struct Case {
        const char* what;
        std::vector<Step> steps;
    };
    const auto grace =
        std::chrono::duration_cast<std::chrono::milliseconds>(DesktopModeTracker::kGrace);
    const std::vector<Case> cases{
        {"a busy moment keeps i3",
         {{Reach::Connected, 0ms, Mode::I3, false},
          {Reach::Unreachable, 100ms, Mode::I3, false},
          {Reach::Unreachable, 900ms, Mode::I3, false},
          {Reach::Connected, 1000ms, Mode::I3, false}}},
        {"i3 gone for good after the grace, and back later",
         {{Reach::Connected, 0ms, Mode::I3, false},
          {Reach::Unreachable, 100ms, Mode::I3, false},
          {Reach::Unreachable, 100ms + grace, Mode::Ewmh, true},
          {Reach::Connected, 200ms + grace, Mode::I3, false}}},
        {"unreachable at start",
         {{Reach::Unreachable, 0ms, Mode::Ewmh, true},
          {Reach::Connected, 3000ms, Mode::I3, false}}},
        {"no longer advertised",
         {{Reach::Connected, 0ms, Mode::I3, false},
          {Reach::NotAdvertised, 100ms, Mode::Ewmh, false}}},
        {"never advertised", {{Reach::NotAdvertised, 0ms, Mode::Ewmh, false}}},
    };
    const auto start = DesktopModeTracker::Clock::now();
    for (const auto& c : cases) {
        DesktopModeTracker tracker;
        for (const auto& step : c.steps) {
            const auto now = start + step.at;
            EXPECT_EQ(tracker.record(step.reach, now), step.mode) << c.what;
            EXPECT_FALSE(tracker.isProbeDue(now)) << c.what;
            EXPECT_EQ(tracker.isProbeDue(now + DesktopModeTracker::kProbeInterval),
                      step.probesAgain)
                << c.what;
        }
    }
}

} // namespace
} // namespace tidemark::linux_platform
