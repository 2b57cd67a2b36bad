#include "platform/linux/PollMainQueue.h"

#include "support/BackgroundLifetime.h"
#include "support/DescriptorWatching.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace tidemark::linux_platform {
namespace {

TEST(PollMainQueue, RunsWorkInTimeOrderAndSkipsCancelledItems) {
    PollMainQueue queue;
    std::vector<int> order;
    // Taken before the delays start: the last item is due 0.02 s after its scheduling.
    const auto start = queue.now();
    queue.asyncAfter(0.02, [&] { order.push_back(3); });
    auto cancelled = queue.asyncAfter(0.01, [&] { order.push_back(99); });
    queue.asyncAfter(0.01, [&] { order.push_back(2); });
    queue.async([&] { order.push_back(1); });
    cancelled->cancel();
    EXPECT_TRUE(queue.runUntilIdle(5));
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
    EXPECT_GE(queue.now() - start, 0.02);
}

TEST(PollMainQueue, RunUntilStopsAtTheTaskThatMadeItDoneAndLeavesTheRest) {
    PollMainQueue queue;
    std::vector<int> order;
    for (int i = 1; i <= 3; ++i)
        queue.async([&order, i] { order.push_back(i); });
    EXPECT_TRUE(queue.runUntil([&] { return order.size() == 1; }, 5));
    EXPECT_EQ(order, std::vector<int>{1});
    EXPECT_TRUE(queue.hasPendingWork());
    EXPECT_TRUE(queue.runUntilIdle(5));
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST(PollMainQueue, TimersRepeatUntilInvalidatedAndBackgroundWorkComesBack) {
    PollMainQueue queue;
    int ticks = 0;
    auto timer = queue.scheduleRepeatingTimer(0.005, 0.001, [&] { ++ticks; });
    EXPECT_TRUE(queue.runUntil([&] { return ticks >= 3; }, 5));
    timer->invalidate();
    EXPECT_TRUE(queue.runUntilIdle(1));

    bool handedBack = false;
    queue.runInBackground(QualityOfService::Utility,
                          [&] { queue.async([&] { handedBack = true; }); });
    EXPECT_TRUE(queue.runUntil([&] { return handedBack; }, 5));
}

TEST(PollMainQueue, WaitsForTheBackgroundWorkItStartedBeforeGoingAway) {
    EXPECT_EQ(testing::backgroundWorkFinishedWhenTheQueueWentAway<PollMainQueue>(), 3);
}

TEST(PollMainQueue, ServesWatchedDescriptorsUntilTheirWatchGoes) {
    PollMainQueue queue;
    EXPECT_EQ(
        testing::descriptorWatchingFault(
            queue, [&](const std::function<bool()>& done) { return queue.runUntil(done, 5); }),
        "");
}

} // namespace
} // namespace tidemark::linux_platform
