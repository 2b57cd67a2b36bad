#include "support/ForwardingWorkspace.h"
#include "system/ScanWorld.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tidemark::testing {
namespace {

using namespace std::chrono_literals;
using Sent = sim::SimKernel::SentSignal;

// The sim workspace, plus a record of the quit requests it receives.
class RecordingWorkspace final : public ForwardingWorkspace {
public:
    using ForwardingWorkspace::ForwardingWorkspace;

    bool terminate(std::int32_t pid) override {
        requests.push_back("terminate " + std::to_string(pid));
        return true;
    }
    bool forceTerminate(std::int32_t pid) override {
        requests.push_back("forceTerminate " + std::to_string(pid));
        return true;
    }

    std::vector<std::string> requests;
};

struct TerminationWorld {
    explicit TerminationWorld(const ScenarioBuilder& builder)
        : platform(builder.build()), kernel(platform.scenario), workspace(platform.workspace),
          cleaner(kernel, platform.windowServer, workspace) {}

    // The record the scan would have made of a process of the table.
    ResidualProcess scanned(std::int32_t pid) {
        return ResidualProcess{pid, "p", "P", {}, {}, {}, kernel.startTime(pid)};
    }

    std::vector<std::pair<std::int32_t, int>> signals() const {
        std::vector<std::pair<std::int32_t, int>> result;
        for (const Sent& sent : kernel.sentSignals())
            result.emplace_back(sent.pid, static_cast<int>(sent.signal));
        return result;
    }

    sim::SimPlatform platform;
    sim::SimKernel kernel;
    RecordingWorkspace workspace;
    ResidualProcessCleaner cleaner;
};

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Pair;

TEST(Termination, EmptyListStillWaitsOnce) {
    TerminationWorld world{ScenarioBuilder()};
    EXPECT_EQ(world.cleaner.terminateProcesses({}), 0);
    EXPECT_EQ(world.kernel.totalSleep(), 300ms);
    EXPECT_THAT(world.signals(), IsEmpty());
}

TEST(Termination, EscalatesFromTermToKillAndCountsOnlyWhatIsGone) {
    ScenarioBuilder s;
    s.process(10, 1, "polite")
        .process(11, 1, "stubborn", {{"ignoresSigterm", true}})
        .process(12, 1, "immortal", {{"ignoresSigterm", true}, {"ignoresSigkill", true}})
        .app(13, "org.example.viewer", "Viewer")
        .process(13, 1, "viewer", {{"ignoresSigterm", true}});
    TerminationWorld world(s);
    const auto list =
        std::vector{world.scanned(10), world.scanned(11), world.scanned(12), world.scanned(13)};
    using enum TerminationOutcome;
    EXPECT_THAT(world.cleaner.terminate(list), ElementsAre(Ended, Ended, Signalled, Ended));
    EXPECT_THAT(world.signals(), ElementsAre(Pair(10, 15), Pair(11, 15), Pair(12, 15), Pair(13, 15),
                                             Pair(11, 9), Pair(12, 9), Pair(12, 9), Pair(13, 9)));
    // 300 ms, then 50 ms per first kill and 100 ms for the second.
    EXPECT_EQ(world.kernel.totalSleep(), 300ms + 50ms + 50ms + 100ms + 50ms);
    EXPECT_THAT(world.workspace.requests, ElementsAre("terminate 13", "forceTerminate 13"));
    EXPECT_TRUE(world.kernel.startTime(12).has_value());
    EXPECT_FALSE(world.kernel.startTime(11).has_value());
}

TEST(Termination, AProcessAlreadyGoneCountsWithoutASignal) {
    ScenarioBuilder s;
    s.process(10, 1, "short-lived");
    TerminationWorld world(s);
    const auto record = world.scanned(10);
    world.kernel.removeProcess(10);
    EXPECT_EQ(world.cleaner.terminateProcesses({record}), 1);
    EXPECT_THAT(world.signals(), IsEmpty());
}

TEST(Termination, AReusedPidIsNeitherSignalledNorCounted) {
    ScenarioBuilder s;
    s.process(10, 1, "old");
    TerminationWorld world(s);
    const auto record = world.scanned(10);
    sim::Process successor;
    successor.pid = 10;
    successor.name = "new";
    successor.startTime = 99999;
    world.kernel.addProcess(successor);
    EXPECT_EQ(world.cleaner.terminateProcesses({record}), 0);
    EXPECT_THAT(world.signals(), IsEmpty());
    EXPECT_TRUE(world.kernel.startTime(10).has_value());

    // A record without a start stamp cannot be told from a successor either.
    auto unknown = world.scanned(10);
    unknown.startTime.reset();
    EXPECT_EQ(world.cleaner.terminateProcesses({unknown}), 0);
    EXPECT_THAT(world.signals(), IsEmpty());
}

TEST(Termination, APidReusedDuringTheGracePeriodIsNotKilled) {
    ScenarioBuilder s;
    s.process(10, 1, "stubborn", {{"ignoresSigterm", true}});
    TerminationWorld world(s);
    const auto record = world.scanned(10);
    // The process exits on its own during the pause and a new one takes its pid.
    world.kernel.setSleepHook([&](std::chrono::microseconds) {
        sim::Process successor;
        successor.pid = 10;
        successor.name = "innocent";
        successor.startTime = 5;
        successor.ignoresSigterm = true;
        world.kernel.addProcess(successor);
        world.kernel.setSleepHook({});
    });
    EXPECT_EQ(world.cleaner.terminateProcesses({record}), 1);
    EXPECT_THAT(world.signals(), ElementsAre(Pair(10, 15)));
    EXPECT_EQ(world.kernel.processName(10), "innocent");
}

TEST(Termination, NeverSignalsTheSystemThisProgramThreadsOrOtherUsers) {
    ScenarioBuilder s; // this program: pid 40, uid 501
    s.process(40, 1, "tidemark")
        .process(50, 1, "root-daemon", {{"uid", 0}})
        .process(51, 1, "neighbour", {{"uid", 502}})
        .process(52, 1, "mine")
        // Thread ids answer like processes, but their signal would end the whole process.
        .process(45, 1, "tidemark", {{"threadOf", 40}})
        .process(53, 1, "mine", {{"threadOf", 52}});
    s.root["processes"].push_back({{"pid", 1}, {"name", "launchd"}, {"ppid", 0}});
    s.root["processes"].push_back({{"pid", 0}, {"name", "kernel_task"}, {"ppid", 0}});
    TerminationWorld world(s);
    const auto list =
        std::vector{world.scanned(0),  world.scanned(1),  world.scanned(40), world.scanned(50),
                    world.scanned(51), world.scanned(45), world.scanned(53), world.scanned(52)};
    using enum TerminationOutcome;
    EXPECT_THAT(world.cleaner.terminate(list),
                ElementsAre(Refused, Refused, Refused, Refused, Refused, Refused, Refused, Ended));
    EXPECT_THAT(world.signals(), ElementsAre(Pair(52, 15)));
    EXPECT_TRUE(world.kernel.startTime(40).has_value());
}

TEST(Termination, ScannedListTerminatesWithTheSameCount) {
    // End to end over the sim: scan, then end everything found.
    ScenarioBuilder s;
    s.app(100, "org.example.viewer", "Viewer")
        .process(100, 1, "viewer")
        .process(101, 100, "worker", {{"ignoresSigterm", true}})
        .process(102, 100, "zombie-ish", {{"ignoresSigterm", true}, {"ignoresSigkill", true}});
    TerminationWorld world(s);
    const auto found = world.cleaner.findResidualProcesses();
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(world.cleaner.terminateProcesses(found), 2);
    EXPECT_THAT(world.kernel.processIdentifiers().value(), ElementsAre(102));
}

} // namespace
} // namespace tidemark::testing
