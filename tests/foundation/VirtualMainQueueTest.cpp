#include "foundation/VirtualMainQueue.h"

#include <gtest/gtest.h>

using namespace tidemark;

TEST(VirtualMainQueue, RunsDueWorkInTimeOrderAndSkipsCancelledItems) {
    VirtualMainQueue queue;
    std::vector<std::string> log;
    auto late =
        queue.asyncAfter(0.2, [&] { log.push_back("late@" + std::to_string(queue.now())); });
    queue.asyncAfter(0.1, [&] { log.push_back("early"); });
    auto cancelled = queue.asyncAfter(0.15, [&] { log.push_back("cancelled"); });
    queue.async([&] { log.push_back("now"); });
    cancelled->cancel();
    queue.advance(0.1);
    EXPECT_EQ(log, (std::vector<std::string>{"now", "early"}));
    queue.advance(1);
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[2], "late@0.200000");
    EXPECT_DOUBLE_EQ(queue.now(), 1.1);
}

TEST(VirtualMainQueue, RepeatingTimerFiresUntilInvalidatedOrDropped) {
    VirtualMainQueue queue;
    int ticks = 0;
    auto timer = queue.scheduleRepeatingTimer(0.5, 0.1, [&] { ++ticks; });
    EXPECT_DOUBLE_EQ(timer->tolerance(), 0.1);
    queue.advance(1.6);
    EXPECT_EQ(ticks, 3);
    timer->invalidate();
    queue.advance(2);
    EXPECT_EQ(ticks, 3);

    auto dropped = queue.scheduleRepeatingTimer(0.5, 0, [&] { ++ticks; });
    queue.advance(0.5);
    EXPECT_EQ(ticks, 4);
    dropped.reset();
    queue.advance(2);
    EXPECT_EQ(ticks, 4);
    EXPECT_FALSE(queue.nextDueTime());
}
