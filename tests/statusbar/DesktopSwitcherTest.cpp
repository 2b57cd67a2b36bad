#include "statusbar/DesktopSwitcher.h"

#include "foundation/VirtualMainQueue.h"
#include "platform/sim/SimEventPoster.h"
#include "support/SwitchingWindowServer.h"

#include <cstdint>
#include <gtest/gtest.h>

namespace tidemark {
namespace {

using Field = RecordedEvent::Field;
using S = DesktopSwitcher;

Space makeSpace(std::string display, std::string id, bool current, bool fullScreen = false) {
    Space space;
    space.displayID = std::move(display);
    space.spaceID = std::move(id);
    space.isCurrentSpace = current;
    space.isFullScreen = fullScreen;
    return space;
}

struct SwitcherFixture : ::testing::Test {
    VirtualMainQueue queue;
    sim::SimEventPoster poster{queue};
    testing::SwitchingWindowServer windowServer;
    int alerts = 0;
    std::shared_ptr<DesktopSwitcher> switcher =
        DesktopSwitcher::create(queue, poster, windowServer, [this] { ++alerts; });

    // Directions of the posted gestures, read from each swipe-ended event.
    std::vector<bool> gestureDirections() const {
        std::vector<bool> result;
        for (const auto& posted : poster.posted())
            if (posted.event.integerField(S::kFieldGesturePhase) == S::kPhaseEnded)
                result.push_back(*posted.event.doubleField(S::kFieldSwipeProgress) > 0);
        return result;
    }
};

// The two directions differ only in the fields that carry the direction.
TEST_F(SwitcherFixture, ABackwardGestureIsTheForwardOneMirrored) {
    switcher->postSwitchGesture(true, "A");
    switcher->postSwitchGesture(false, "A");
    const auto& posted = poster.posted();
    ASSERT_EQ(posted.size(), 8u);
    for (std::size_t i = 0; i < 4; ++i) {
        std::vector<Field> mirrored = posted[i].event.fields();
        for (auto& field : mirrored) {
            if (field.number == S::kFieldSwipeDirection) {
                EXPECT_EQ(std::get<std::int64_t>(field.value), 1) << i;
                field.value = std::int64_t{0};
            } else if (field.number == S::kFieldSwipeProgress ||
                       field.number == S::kFieldSwipeVelocityX) {
                EXPECT_GT(std::get<double>(field.value), 0) << i;
                field.value = -std::get<double>(field.value);
            }
        }
        EXPECT_EQ(posted[i + 4].event.type(), posted[i].event.type()) << i;
        EXPECT_EQ(posted[i + 4].event.fields(), mirrored) << i;
    }
}

TEST_F(SwitcherFixture, FailedCreationPostsNothing) {
    poster.failNextCreations(1);
    switcher->postSwitchGesture(true, "A");
    EXPECT_TRUE(poster.posted().empty());
    poster.failNextCreations(0);
    switcher->postSwitchGesture(true, "A");
    EXPECT_EQ(poster.posted().size(), 4u);
}

TEST_F(SwitcherFixture, FullScreenSpaceCountsAsStepsAndGesturesAreSpacedOnTheQueue) {
    EXPECT_EQ(switcher->method(), SwitchMethod::Gestures);
    const std::vector<Space> spaces{makeSpace("A", "1", true), makeSpace("A", "2", false),
                                    makeSpace("A", "3", false), makeSpace("A", "9", false, true)};
    EXPECT_EQ(switcher->switchToSpace(spaces, spaces[3]), (SwitchPlan{"A", 3, true}));
    // Several steps: even the first gesture waits for the next turn of the queue.
    EXPECT_TRUE(poster.posted().empty());
    queue.advance(1.0);
    ASSERT_EQ(poster.posted().size(), 12u);
    EXPECT_EQ(gestureDirections(), (std::vector<bool>{true, true, true}));
    EXPECT_DOUBLE_EQ(poster.posted()[0].time, 0.0);
    EXPECT_DOUBLE_EQ(poster.posted()[4].time, 0.15);
    EXPECT_DOUBLE_EQ(poster.posted()[8].time, 0.30);
    EXPECT_EQ(poster.posted()[0].display, "A");
}

TEST_F(SwitcherFixture, OneStepBackIsSynchronous) {
    const std::vector<Space> spaces{makeSpace("A", "1", false), makeSpace("A", "2", true),
                                    makeSpace("A", "3", false)};
    switcher->switchToSpace(spaces, spaces[0]);
    EXPECT_EQ(gestureDirections(), std::vector<bool>{false});
}

TEST_F(SwitcherFixture, StepsAreCountedWithinTheTargetDisplayOnly) {
    const std::vector<Space> spaces{makeSpace("A", "1", false), makeSpace("A", "2", false),
                                    makeSpace("A", "3", true),  makeSpace("B", "4", true),
                                    makeSpace("B", "5", false), makeSpace("B", "6", false)};
    EXPECT_EQ(switcher->switchToSpace(spaces, spaces[4]), (SwitchPlan{"B", 1, true}));
    EXPECT_EQ(gestureDirections(), std::vector<bool>{true});
    EXPECT_EQ(poster.posted().front().display, "B");
}

TEST_F(SwitcherFixture, NothingIsPostedForCurrentMissingOrUntrusted) {
    const std::vector<Space> spaces{makeSpace("A", "1", true), makeSpace("A", "2", false),
                                    makeSpace("B", "3", false), makeSpace("B", "4", false)};
    EXPECT_FALSE(switcher->switchToSpace(spaces, spaces[0]));
    // Display B has no current space.
    EXPECT_FALSE(switcher->switchToSpace(spaces, spaces[3]));
    // A target that is no longer in the list.
    EXPECT_FALSE(switcher->switchToSpace(spaces, makeSpace("A", "7", false)));
    queue.advance(2);
    EXPECT_TRUE(poster.posted().empty());
    EXPECT_EQ(alerts, 0);

    poster.setTrusted(false);
    EXPECT_FALSE(switcher->switchToSpace(spaces, spaces[1]));
    queue.advance(2);
    EXPECT_TRUE(poster.posted().empty());
    EXPECT_EQ(alerts, 1);
}

TEST_F(SwitcherFixture, InterleavedSwitchesOnTwoOutputsKeepTheirOwnDisplays) {
    const std::vector<Space> spaces{makeSpace("A", "1", true),  makeSpace("A", "2", false),
                                    makeSpace("A", "3", false), makeSpace("A", "4", false),
                                    makeSpace("B", "5", false), makeSpace("B", "6", false),
                                    makeSpace("B", "7", true)};
    ASSERT_EQ(switcher->switchToSpace(spaces, spaces[3]), (SwitchPlan{"A", 3, true}));
    // The second output is clicked while the first one's steps are still pending.
    queue.advance(0.1);
    ASSERT_EQ(switcher->switchToSpace(spaces, spaces[4]), (SwitchPlan{"B", 2, false}));
    queue.advance(1.0);

    std::vector<std::pair<std::string, bool>> gestures;
    for (const auto& posted : poster.posted())
        if (posted.event.integerField(S::kFieldGesturePhase) == S::kPhaseEnded)
            gestures.emplace_back(posted.display,
                                  *posted.event.doubleField(S::kFieldSwipeProgress) > 0);
    // By time: A at 0, B at 0.1, A at 0.15, B at 0.25, A at 0.3.
    const std::vector<std::pair<std::string, bool>> expected{
        {"A", true}, {"B", false}, {"A", true}, {"B", false}, {"A", true}};
    EXPECT_EQ(gestures, expected);
    for (std::size_t i = 0; i < poster.posted().size(); i += 4)
        for (std::size_t j = i; j < i + 4; ++j)
            EXPECT_EQ(poster.posted()[j].display, poster.posted()[i].display)
                << "the four events of one gesture go to one display";
}

// A window server that switches directly gets one request for the target, however far, and
// no gesture is posted; a refused request is no switch. Permission still comes first.
TEST_F(SwitcherFixture, ADirectSwitchAsksTheWindowServerOnceAndPostsNothing) {
    windowServer.direct = true;
    EXPECT_EQ(switcher->method(), SwitchMethod::Direct);
    const std::vector<Space> spaces{makeSpace("A", "1", true),  makeSpace("A", "2", false),
                                    makeSpace("A", "3", false), makeSpace("A", "4", false),
                                    makeSpace("B", "5", true),  makeSpace("B", "x", false)};
    EXPECT_EQ(switcher->switchToSpace(spaces, spaces[3]), (SwitchPlan{"A", 3, true}));
    EXPECT_EQ(windowServer.requests, std::vector<SpaceId>{4});

    windowServer.accepts = false;
    EXPECT_FALSE(switcher->switchToSpace(spaces, spaces[1]));
    EXPECT_EQ(windowServer.requests, (std::vector<SpaceId>{4, 2}));
    // An id that is no window server's number is never asked for.
    EXPECT_FALSE(switcher->switchToSpace(spaces, spaces[5]));
    // Nothing to ask for the current space.
    EXPECT_FALSE(switcher->switchToSpace(spaces, spaces[0]));

    poster.setTrusted(false);
    windowServer.accepts = true;
    EXPECT_FALSE(switcher->switchToSpace(spaces, spaces[2]));
    EXPECT_EQ(alerts, 1);
    EXPECT_EQ(windowServer.requests.size(), 2u);
    queue.advance(2);
    EXPECT_TRUE(poster.posted().empty());
}

TEST_F(SwitcherFixture, PendingGesturesDieWithTheSwitcher) {
    switcher->performSwitchSteps({"A", 3, true});
    switcher.reset();
    queue.advance(1);
    EXPECT_TRUE(poster.posted().empty());
}

// What a switch waits for: the target current on its own display, read from the window
// server's answer, whatever else that answer holds.
TEST(ShowsCurrentSpace, ReadsTheCurrentSpaceOfTheTargetDisplayOnly) {
    std::vector<Display> displays(3);
    displays[0].identifier = "A";
    displays[0].currentSpace = 2;
    displays[1].identifier = "B";
    displays[1].currentSpace = 7;
    // A later display of the same name does not count.
    displays[2].identifier = "A";
    displays[2].currentSpace = 1;
    const struct {
        const char* display;
        const char* space;
        bool shown;
    } cases[] = {
        {"A", "2", true},  {"A", "1", false}, {"B", "7", true},
        {"B", "2", false}, {"E", "7", false}, {"A", "02", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(showsCurrentSpace(displays, c.display, c.space), c.shown)
            << c.display << " " << c.space;
    EXPECT_FALSE(showsCurrentSpace({}, "A", "2"));
}

// The wheel's rule: counted within the display, stopping at its ends; the extreme counts must
// not overflow.
TEST(SteppedSpace, StepsWithinTheDisplayAndStopsAtItsEnds) {
    const std::vector<Space> spaces{makeSpace("A", "1", false), makeSpace("B", "7", true),
                                    makeSpace("A", "2", true),  makeSpace("A", "3", false, true),
                                    makeSpace("A", "4", false), makeSpace("C", "9", false)};
    const struct {
        const char* display;
        int steps;
        std::string landsOn; // empty: no step
    } cases[] = {
        {"A", 1, "3"},         {"A", 2, "4"},         {"A", 9, "4"}, {"A", -1, "1"},
        {"A", INT32_MIN, "1"}, {"A", INT32_MAX, "4"}, {"A", 0, ""},  {"B", 1, ""},
        {"B", -1, ""},         {"C", 1, ""},          {"D", 1, ""},
    };
    for (const auto& c : cases) {
        const auto stepped = steppedSpace(spaces, c.display, c.steps);
        EXPECT_EQ(stepped ? stepped->spaceID : "", c.landsOn) << c.display << " " << c.steps;
    }
}

} // namespace
} // namespace tidemark
