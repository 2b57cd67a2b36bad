#include "system/ScanWorld.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tidemark::testing {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;

TEST(SimKernel, AnswersFromTheScenarioTable) {
    ScenarioBuilder s;
    s.process(10, 1, "a", {{"path", "/bin/a"}, {"args", "/bin/a -x"}, {"uid", 0}})
        .process(11, 10, "b");
    s.root["processes"].push_back({{"pid", 12}});
    ScanWorld world(s);
    auto& kernel = world.kernel;
    EXPECT_THAT(kernel.processIdentifiers().value(), ElementsAre(10, 11, 12));
    EXPECT_EQ(kernel.processName(10), "a");
    EXPECT_EQ(kernel.executablePath(10), "/bin/a");
    EXPECT_EQ(kernel.argumentText(10), "/bin/a -x");
    EXPECT_EQ(kernel.parentProcessIdentifier(11), 10);
    EXPECT_EQ(kernel.ownerUserId(10), 0);
    EXPECT_EQ(kernel.startTime(11), 1011u);
    // Defaults of a bare entry: no name, parent 1, this user, nothing readable.
    EXPECT_EQ(kernel.processName(12), std::nullopt);
    EXPECT_EQ(kernel.parentProcessIdentifier(12), 1);
    EXPECT_EQ(kernel.ownerUserId(12), 501);
    EXPECT_EQ(kernel.processUsage(12), std::nullopt);
    EXPECT_EQ(kernel.taskRecord(12), std::nullopt);
    EXPECT_EQ(kernel.processName(99), std::nullopt);
    EXPECT_EQ(kernel.ownProcessIdentifier(), 40);
    EXPECT_EQ(kernel.ownUserId(), 501);
}

TEST(SimKernel, SignalsRemoveProcessesThatDoNotIgnoreThem) {
    ScenarioBuilder s;
    s.process(10, 1, "plain")
        .process(11, 1, "no-term", {{"ignoresSigterm", true}})
        .process(12, 1, "no-kill", {{"ignoresSigkill", true}})
        .process(13, 1, "root", {{"uid", 0}})
        .process(14, 1, "last");
    ScanWorld world(s);
    auto& kernel = world.kernel;
    EXPECT_TRUE(kernel.sendSignal(10, Signal::Probe));
    EXPECT_TRUE(kernel.sendSignal(11, Signal::Terminate));
    EXPECT_TRUE(kernel.sendSignal(12, Signal::Terminate));
    EXPECT_TRUE(kernel.sendSignal(11, Signal::Kill));
    EXPECT_FALSE(kernel.sendSignal(13, Signal::Kill)); // another user's process
    EXPECT_FALSE(kernel.sendSignal(99, Signal::Probe));
    EXPECT_THAT(kernel.processIdentifiers().value(), ElementsAre(10, 13, 14));
    EXPECT_TRUE(kernel.sendSignal(10, Signal::Kill));
    EXPECT_FALSE(kernel.sendSignal(10, Signal::Probe));
    EXPECT_EQ(kernel.processName(14), "last");
    EXPECT_EQ(kernel.sentSignals().size(), 8u);
    kernel.sleepFor(300ms);
    kernel.sleepFor(50ms);
    EXPECT_EQ(kernel.totalSleep(), 350ms);
}

TEST(SimKernel, ReadsTheMemoryMember) {
    ScenarioBuilder s;
    s.root["memory"] = {
        {"physicalMemory", 8589934592}, {"pageSize", 4096}, {"vmStatistics", {{"wireCount", 7}}}};
    ScanWorld world(s);
    EXPECT_EQ(world.kernel.physicalMemory(), 8589934592u);
    EXPECT_EQ(world.kernel.pageSize(), 4096u);
    EXPECT_EQ(world.kernel.vmStatistics(), (VmStatistics{7, 0, 0, 0}));
}

} // namespace
} // namespace tidemark::testing
