#include "platform/linux/proc/PsiMemoryPressure.h"

#include "platform/linux/PollMainQueue.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace tidemark::linux_platform {
namespace {

TEST(PsiMemoryPressure, TriggerAsksForASomeStallWithinTheWindow) {
    EXPECT_EQ(PsiMemoryPressure::triggerText(150000, 2000000), "some 150000 2000000");
}

TEST(PsiMemoryPressure, SourcesStartAndStopWithOrWithoutPsi) {
    PollMainQueue queue;
    int events = 0;
    // No pressure file: an inert source.
    PsiMemoryPressure missing(queue, "/nonexistent/pressure/memory");
    auto inert = missing.startSource([&] { ++events; });
    ASSERT_TRUE(inert);
    inert->cancel();
    inert->cancel();
    queue.runUntilIdle(1);
    EXPECT_EQ(events, 0);

    // The kernel's file where there is one: a live trigger that stops cleanly.
    if (std::filesystem::exists("/proc/pressure/memory")) {
        PsiMemoryPressure real(queue);
        auto source = real.startSource([&] { ++events; });
        queue.runUntil([] { return false; }, 0.02);
        source.reset();
        EXPECT_TRUE(queue.runUntilIdle(1));
    }
}

} // namespace
} // namespace tidemark::linux_platform
