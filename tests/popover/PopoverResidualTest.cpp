#include "popover/PopoverWorld.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tidemark::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Two windowless apps with Dock icons that the scan lists: Viewer (201, 120 MB) and Notes
// (202, 30 MB); an accessory app and a plain process that it does not.
ScenarioBuilder residualScenario() {
    ScenarioBuilder builder;
    builder.app(201, "org.example.Viewer", "Viewer")
        .app(202, "org.example.Notes", "Notes")
        .app(203, "org.example.Agent", "Agent", "accessory")
        .process(201, 1, "Viewer", Json::object(), 120)
        .process(202, 1, "Notes", Json::object(), 30)
        .process(203, 1, "Agent", Json::object(), 5)
        .process(204, 1, "daemon", Json::object(), 5);
    builder.root["memory"] = memoryJson(6000);
    return builder;
}

std::vector<std::int32_t> residualPids(const SpacePopoverViewModel& model) {
    std::vector<std::int32_t> pids;
    for (const auto& process : model.residualProcesses())
        pids.push_back(process.id);
    return pids;
}

TEST(PopoverResidual, ScanThenSingleAndBulkCleanUpAddUpUntilTheNextScan) {
    PopoverWorld world(residualScenario());
    world.model->setSpace(space("3", {}));
    world.model->updateMemory(*world.model->space());

    world.model->scanResidualProcesses();
    EXPECT_TRUE(world.model->isScanning());
    EXPECT_FALSE(world.model->showResidualList());
    world.runUntil(0);
    EXPECT_FALSE(world.model->isScanning());
    EXPECT_TRUE(world.model->showResidualList());
    EXPECT_THAT(residualPids(*world.model), ElementsAre(201, 202));
    EXPECT_FALSE(world.model->lastCleanedCount());

    world.runUntil(0.1);
    world.model->terminateResidualProcess(202);
    world.runUntil(0.1);
    EXPECT_THAT(residualPids(*world.model), ElementsAre(201));
    EXPECT_EQ(world.model->lastCleanedCount(), 1);
    EXPECT_EQ(world.model->lastCleanedMemory(), 30 * kMB);
    EXPECT_EQ(world.model->systemMemory()->appMemory, 5970 * kMB);
    // A pid that is not listed is not terminated.
    world.model->terminateResidualProcess(204);
    world.runUntil(0.1);
    EXPECT_EQ(world.model->lastCleanedCount(), 1);

    world.runUntil(0.2);
    world.model->cleanAllResidualProcesses();
    EXPECT_TRUE(world.model->isScanning());
    EXPECT_TRUE(world.model->showResidualList());
    world.platform.kernel.setMemory(simMemory(5800));
    world.runUntil(0.2);
    EXPECT_FALSE(world.model->isScanning());
    EXPECT_THAT(world.model->residualProcesses(), IsEmpty());
    EXPECT_EQ(world.model->lastCleanedCount(), 2);
    EXPECT_EQ(world.model->lastCleanedMemory(), 150 * kMB);
    EXPECT_EQ(world.model->systemMemory()->appMemory, 5800 * kMB);
    EXPECT_TRUE(world.model->showResidualList());
    EXPECT_THAT(world.requests(),
                ElementsAre(R"(0.100 {"kind":"quitRequest","pid":202,"force":false})",
                            R"(0.200 {"kind":"quitRequest","pid":201,"force":false})"));

    // A new scan starts the counts afresh; now nothing is left to find.
    world.runUntil(0.3);
    world.model->scanResidualProcesses();
    EXPECT_FALSE(world.model->lastCleanedCount());
    EXPECT_EQ(world.model->lastCleanedMemory(), 0u);
    world.runUntil(0.3);
    EXPECT_TRUE(world.model->showResidualList());
    EXPECT_THAT(world.model->residualProcesses(), IsEmpty());
    EXPECT_FALSE(world.model->lastCleanedCount());

    world.seen.clear();
    world.model->dismissResidualList();
    EXPECT_FALSE(world.model->showResidualList());
    ASSERT_EQ(world.seen.size(), 4u);
    for (const auto& s : world.seen)
        EXPECT_EQ(s.change.transition->duration, 0.2);
}

TEST(PopoverResidual, TerminatingTheLastRowLeavesTheCleanedState) {
    PopoverWorld world(residualScenario());
    world.model->scanResidualProcesses();
    world.runUntil(0);
    world.model->terminateResidualProcess(201);
    world.model->terminateResidualProcess(202);
    // A second press on a row whose process is on its way out counts once.
    world.model->terminateResidualProcess(202);
    world.runUntil(0);
    EXPECT_THAT(world.model->residualProcesses(), IsEmpty());
    EXPECT_EQ(world.model->lastCleanedCount(), 2);
    EXPECT_EQ(world.model->lastCleanedMemory(), 150 * kMB);
    EXPECT_TRUE(world.model->showResidualList());
}

TEST(PopoverResidual, OnlyARowWhoseProcessWasSignalledGoes) {
    auto builder = residualScenario();
    // Another user's app: listed, but never signalled.
    builder.app(205, "org.example.Shared", "Shared").process(205, 1, "Shared", {{"uid", 0}}, 60);
    PopoverWorld world(builder);
    world.model->scanResidualProcesses();
    world.runUntil(0);
    ASSERT_THAT(residualPids(*world.model), ElementsAre(201, 205, 202));
    // Viewer's pid passes to another process after the scan.
    sim::Process successor;
    successor.pid = 201;
    successor.name = "other";
    successor.startTime = 5;
    world.platform.kernel.addProcess(successor);

    world.model->terminateResidualProcess(205);
    world.model->terminateResidualProcess(201);
    world.runUntil(0);
    EXPECT_THAT(residualPids(*world.model), ElementsAre(201, 205, 202));
    EXPECT_FALSE(world.model->lastCleanedCount());
    EXPECT_THAT(world.platform.kernel.sentSignals(), IsEmpty());

    world.model->terminateResidualProcess(202);
    world.runUntil(0);
    EXPECT_THAT(residualPids(*world.model), ElementsAre(201, 205));
    EXPECT_EQ(world.model->lastCleanedCount(), 1);
    EXPECT_EQ(world.model->lastCleanedMemory(), 30 * kMB);
}

TEST(PopoverResidual, ScanAndCleanAllAreNotStartedTwice) {
    PopoverWorld world(residualScenario());
    world.model->scanResidualProcesses();
    world.model->scanResidualProcesses();
    world.runUntil(0);
    world.model->cleanAllResidualProcesses();
    world.model->cleanAllResidualProcesses();
    world.runUntil(1);
    EXPECT_EQ(world.model->lastCleanedCount(), 2);
    EXPECT_EQ(world.assignments(PopoverField::ResidualProcesses).size(), 2u);
}

TEST(PopoverResidual, AScanResultArrivesAfterThePanelClosed) {
    PopoverWorld world(residualScenario());
    world.model->scanResidualProcesses();
    world.model->reset();
    EXPECT_FALSE(world.model->showResidualList());
    EXPECT_TRUE(world.model->isScanning());
    world.runUntil(0);
    EXPECT_TRUE(world.model->showResidualList());
    EXPECT_THAT(residualPids(*world.model), ElementsAre(201, 202));
}

TEST(PopoverResidual, AScanWithdrawsPendingMemoryRefreshes) {
    PopoverWorld world;
    world.open("3");
    world.model->quitApp(101);
    world.model->scanResidualProcesses();
    world.runUntil(3);
    EXPECT_THAT(world.assignments(PopoverField::SystemMemory), ElementsAre(0.0, 0.0));
}

} // namespace
} // namespace tidemark::testing
