#include "platform/linux/x11/SwipeRecognizer.h"

#include "foundation/VirtualMainQueue.h"
#include "platform/sim/SimEventPoster.h"
#include "statusbar/DesktopSwitcher.h"

#include <gtest/gtest.h>

namespace tidemark::linux_platform {
namespace {

std::vector<RecordedEvent> gestures(std::vector<bool> directions) {
    VirtualMainQueue queue;
    sim::SimEventPoster poster(queue);
    auto switcher = DesktopSwitcher::create(queue, poster, {});
    for (const bool forward : directions)
        switcher->postSwitchGesture(forward, "A");
    std::vector<RecordedEvent> events;
    for (const auto& posted : poster.posted())
        events.push_back(posted.event);
    return events;
}

std::vector<bool> steps(const std::vector<RecordedEvent>& events) {
    SwipeRecognizer recognizer;
    std::vector<bool> result;
    for (const auto& event : events)
        if (const auto step = recognizer.feed(event))
            result.push_back(*step);
    return result;
}

TEST(SwipeRecognizer, EachCompletedSwipeIsOneStepInItsDirection) {
    EXPECT_EQ(steps(gestures({true})), std::vector<bool>{true});
    EXPECT_EQ(steps(gestures({false, true, false})), (std::vector<bool>{false, true, false}));
}

TEST(SwipeRecognizer, IncompleteOrReorderedSwipesAreNoSteps) {
    const auto one = gestures({true});
    // Without the closing gesture.
    EXPECT_TRUE(steps({one[0], one[1], one[2]}).empty());
    // Posted in creation order (A, B, C, D) rather than B, A, D, C.
    EXPECT_TRUE(steps({one[1], one[0], one[3], one[2]}).empty());
    // A half swipe followed by a whole one counts once.
    EXPECT_EQ(steps({one[0], one[1], one[0], one[1], one[2], one[3]}), std::vector<bool>{true});
    // Partial progress is not a step.
    RecordedEvent partial = one[2];
    partial.setDoubleValueField(DesktopSwitcher::kFieldSwipeProgress, 0.5);
    EXPECT_TRUE(steps({one[0], one[1], partial, one[3]}).empty());
}

} // namespace
} // namespace tidemark::linux_platform
