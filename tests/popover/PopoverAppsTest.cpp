#include "popover/PopoverWorld.h"
#include "support/ForwardingWorkspace.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tidemark::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Pair;

TEST(PopoverApps, OpeningListsEachOtherAppOnceWithItsMemory) {
    PopoverWorld world;
    world.open("3");

    EXPECT_THAT(world.shownPids(), ElementsAre(101, 102, 103, 107));
    // Ghost's process is gone: no figure rather than zero.
    EXPECT_THAT(world.model->appMemoryMap(),
                ElementsAre(Pair(101, 500 * kMB), Pair(102, 200 * kMB), Pair(103, 50 * kMB)));
    // Browser is on the shown space too, Mail is on two other spaces.
    EXPECT_THAT(world.otherPids(), ElementsAre(104, 105, 106));
    EXPECT_THAT(world.model->otherAppMemoryMap(),
                ElementsAre(Pair(104, 300 * kMB), Pair(105, 80 * kMB)));
    ASSERT_TRUE(world.model->systemMemory());
    EXPECT_EQ(world.model->systemMemory()->used, 7500 * kMB);
    EXPECT_EQ(world.model->systemMemory()->appMemory, 6000 * kMB);

    // A new snapshot while shown: memory is carried over, not read again.
    world.platform.kernel.removeProcess(104);
    auto spaces = desktopSpaces();
    spaces[2].appDetails.push_back(detail(120, "New", "org.example.New"));
    world.model->updateOtherApps(spaces[0], spaces, false);
    EXPECT_THAT(world.otherPids(), ElementsAre(104, 105, 106, 120));
    EXPECT_THAT(world.model->otherAppMemoryMap(),
                ElementsAre(Pair(104, 300 * kMB), Pair(105, 80 * kMB)));
}

// The sim's workspace, counting each process as an app of its own.
class ProcessCountingWorkspace final : public ForwardingWorkspace {
public:
    using ForwardingWorkspace::ForwardingWorkspace;
    AppCounting appCounting() const override { return AppCounting::ByProcess; }
};

TEST(PopoverApps, OtherDesktopsListOneRowPerAppAsTheDesktopCountsThem) {
    // A terminal on the shown space and another elsewhere; one logo process on two spaces and
    // a second logo process.
    const std::vector<Space> spaces{
        space("3", {detail(201, "XTerm", "xterm")}),
        space("5", {detail(202, "XTerm", "xterm"), detail(203, "XLogo", "xlogo")}),
        space("9", {detail(203, "XLogo", "xlogo"), detail(204, "XLogo", "xlogo")})};
    struct Case {
        AppCounting counting;
        std::vector<std::int32_t> others;
    };
    for (const auto& c :
         {Case{AppCounting::ByAppKey, {203}}, Case{AppCounting::ByProcess, {202, 203, 204}}}) {
        sim::SimPlatform platform(desktopScenario().build());
        ProcessCountingWorkspace byProcess(platform.workspace);
        Workspace& workspace = c.counting == AppCounting::ByProcess
                                   ? static_cast<Workspace&>(byProcess)
                                   : platform.workspace;
        const auto model =
            SpacePopoverViewModel::create({platform.mainQueue, platform.kernel, workspace,
                                           platform.cleaner, platform.appActions});
        model->setSpace(spaces[0]);
        model->updateOtherApps(spaces[0], spaces, false);
        std::vector<std::int32_t> others;
        for (const auto& other : model->otherApps())
            others.push_back(other.pid);
        EXPECT_EQ(others, c.others) << int(c.counting);
    }
}

TEST(PopoverApps, ClosableAppsCountOnEitherList) {
    struct Case {
        const char* name;
        std::vector<SpaceAppDetail> shown;
        std::vector<SpaceAppDetail> elsewhere;
        bool expected;
    };
    const auto finder = detail(103, "Finder", "com.apple.finder");
    const auto self = detail(40, "Tidemark", "io.tidemark.Tidemark");
    const auto editor = detail(102, "Editor", "org.example.Editor");
    const std::vector<Case> cases{
        {"nothing", {}, {}, false},
        {"only protected and self", {finder, self}, {}, false},
        {"closable on the space", {finder, editor}, {}, true},
        {"closable only elsewhere", {}, {editor}, true},
        {"protected elsewhere", {self}, {finder}, false},
    };
    for (const auto& c : cases) {
        PopoverWorld world;
        const auto shown = space("3", c.shown);
        const std::vector<Space> spaces{shown, space("5", c.elsewhere)};
        world.model->setSpace(shown);
        world.model->updateOtherApps(shown, spaces, false);
        EXPECT_EQ(world.model->hasClosableApps(), c.expected) << c.name;
    }
}

TEST(PopoverApps, QuitRemovesAtOnceAndDelayedReadingsCorrectMemory) {
    PopoverWorld world;
    world.open("3");
    world.seen.clear();

    world.model->quitApp(101);

    EXPECT_THAT(world.shownPids(), ElementsAre(102, 103, 107));
    EXPECT_FALSE(world.model->appMemoryMap().contains(101));
    EXPECT_EQ(world.model->systemMemory()->used, 7000 * kMB);
    EXPECT_EQ(world.model->systemMemory()->appMemory, 5500 * kMB);
    EXPECT_EQ(world.model->systemMemory()->total, 16384 * kMB);
    // The removal and the subtraction are one transition.
    ASSERT_FALSE(world.seen.empty());
    const auto transition = world.seen.front().change.transition;
    ASSERT_TRUE(transition);
    EXPECT_EQ(transition->duration, 0.25);
    for (const auto& s : world.seen)
        EXPECT_EQ(s.change.transition, transition);

    world.runUntil(0.4);
    EXPECT_THAT(world.requests(),
                ElementsAre(R"(0.000 {"kind":"quitRequest","pid":101,"force":false})"));
    world.platform.kernel.setMemory(simMemory(5600));
    world.runUntil(1.0);
    EXPECT_EQ(world.model->systemMemory()->appMemory, 5600 * kMB);
    world.platform.kernel.setMemory(simMemory(5400));
    world.runUntil(3.0);
    EXPECT_EQ(world.model->systemMemory()->appMemory, 5400 * kMB);
    EXPECT_THAT(world.assignments(PopoverField::SystemMemory), ElementsAre(0.0, 0.5, 1.5));
    EXPECT_EQ(world.model->pendingRefreshCount(), 0u);
    // The delayed readings animate, each in a transition of its own.
    EXPECT_NE(world.seen.back().change.transition, transition);
    EXPECT_EQ(world.seen.back().change.transition->duration, 0.25);
}

TEST(PopoverApps, OnlyTheLastQuitsRefreshesApply) {
    PopoverWorld world;
    world.open("3");
    world.model->quitApp(101);
    world.runUntil(0.3);
    world.model->quitApp(102);
    world.runUntil(4);

    // Quits at 0 and 0.3: the readings due at 0.5 and 1.5 were withdrawn.
    EXPECT_THAT(world.assignments(PopoverField::SystemMemory),
                ElementsAre(0.0, 0.0, 0.3, 0.8, 1.8));
    EXPECT_EQ(world.model->refreshGeneration(), 2);
    EXPECT_THAT(world.requests(),
                ElementsAre(R"(0.000 {"kind":"quitRequest","pid":101,"force":false})",
                            R"(0.300 {"kind":"quitRequest","pid":102,"force":false})"));
}

TEST(PopoverApps, FreedMemoryNeverGoesBelowZero) {
    struct Case {
        std::int64_t internalMB;
        std::int64_t wiredMB;
        std::uint64_t expectedUsed;
        std::uint64_t expectedAppMemory;
    };
    // Browser frees 500 MB; nothing is compressed.
    const std::vector<Case> cases{
        {6000, 1000, 6500 * kMB, 5500 * kMB},
        {300, 1000, 800 * kMB, 0},
        {100, 200, 0, 0},
    };
    for (const auto& c : cases) {
        auto builder = desktopScenario();
        builder.root["memory"] = memoryJson(c.internalMB, c.wiredMB, 0);
        PopoverWorld world(builder);
        world.open("3");
        world.model->quitApp(101);
        EXPECT_EQ(world.model->systemMemory()->used, c.expectedUsed) << c.internalMB;
        EXPECT_EQ(world.model->systemMemory()->appMemory, c.expectedAppMemory) << c.internalMB;
        EXPECT_EQ(world.model->systemMemory()->wired, std::uint64_t(c.wiredMB) * kMB);
    }
}

TEST(PopoverApps, QuitOfAProtectedOrForeignProcessChangesNothing) {
    struct Case {
        const char* name;
        std::int32_t pid;
    };
    const std::vector<Case> cases{
        {"Finder is not closable", 103},
        {"another user's app", 105},
        {"this program", 40},
        {"init", 1},
        {"pid 0", 0},
        {"a negative pid", -1},
    };
    for (const auto& c : cases) {
        PopoverWorld world;
        world.open("3");
        const auto before = world.seen.size();
        world.model->quitApp(c.pid);
        world.runUntil(3);
        EXPECT_EQ(world.seen.size(), before) << c.name;
        EXPECT_THAT(world.requests(), IsEmpty()) << c.name;
        EXPECT_EQ(world.model->refreshGeneration(), 0) << c.name;
        EXPECT_THAT(world.shownPids(), ElementsAre(101, 102, 103, 107)) << c.name;
        EXPECT_THAT(world.otherPids(), ElementsAre(104, 105, 106)) << c.name;
    }
}

TEST(PopoverApps, QuitOfAnAppThatIsAlreadyGoneOnlyTakesItOff) {
    PopoverWorld world;
    world.open("3");
    world.model->quitApp(107);
    world.runUntil(3);
    EXPECT_THAT(world.shownPids(), ElementsAre(101, 102, 103));
    EXPECT_THAT(world.requests(), IsEmpty());
    EXPECT_EQ(world.model->refreshGeneration(), 1);
}

TEST(PopoverApps, QuitAllEndsEveryClosableAppInOneTransition) {
    PopoverWorld world;
    world.open("3");
    world.seen.clear();
    world.model->quitAllClosableApps();

    // Finder and the root-owned tool stay; Ghost is already gone.
    EXPECT_THAT(world.shownPids(), ElementsAre(103));
    EXPECT_THAT(world.otherPids(), ElementsAre(105));
    EXPECT_THAT(world.model->appMemoryMap(), ElementsAre(Pair(103, 50 * kMB)));
    EXPECT_THAT(world.model->otherAppMemoryMap(), ElementsAre(Pair(105, 80 * kMB)));
    // Browser, Editor and Mail: 1000 MB; Terminal's figure is unknown.
    EXPECT_EQ(world.model->systemMemory()->appMemory, 5000 * kMB);
    for (const auto& s : world.seen)
        EXPECT_EQ(s.change.transition, world.seen.front().change.transition);

    world.runUntil(0.1);
    EXPECT_THAT(world.requests(),
                ElementsAre(R"(0.000 {"kind":"quitRequest","pid":101,"force":false})",
                            R"(0.000 {"kind":"quitRequest","pid":102,"force":false})",
                            R"(0.000 {"kind":"quitRequest","pid":104,"force":false})",
                            R"(0.000 {"kind":"quitRequest","pid":106,"force":false})"));
    EXPECT_EQ(world.model->pendingRefreshCount(), 2u);
}

TEST(PopoverApps, QuitAllWithNothingClosableDoesNothing) {
    PopoverWorld world;
    const auto shown = space("3", {detail(103, "Finder", "com.apple.finder"),
                                   detail(40, "Tidemark", "io.tidemark.Tidemark")});
    world.model->setSpace(shown);
    world.model->updateMemory(shown);
    world.seen.clear();
    world.model->quitAllClosableApps();
    world.runUntil(3);
    EXPECT_THAT(world.seen, IsEmpty());
    EXPECT_EQ(world.model->pendingRefreshCount(), 0u);
    EXPECT_EQ(world.model->refreshGeneration(), 0);
}

TEST(PopoverApps, ResetClearsTheContentAndWithdrawsRefreshes) {
    PopoverWorld world;
    world.open("3");
    world.model->quitApp(101);
    world.model->reset();
    world.platform.kernel.setMemory(simMemory(1000));
    world.runUntil(3);

    EXPECT_FALSE(world.model->space());
    EXPECT_FALSE(world.model->systemMemory());
    EXPECT_THAT(world.model->appMemoryMap(), IsEmpty());
    EXPECT_THAT(world.model->otherApps(), IsEmpty());
    EXPECT_EQ(world.model->pendingRefreshCount(), 0u);
    // The quit itself still goes out.
    EXPECT_EQ(world.requests().size(), 1u);
}

TEST(PopoverApps, WorkLeftBehindByAGoneModelDoesNothing) {
    PopoverWorld world;
    world.open("3");
    world.model->quitApp(101);
    world.model->scanResidualProcesses();
    world.token.reset();
    world.model.reset();
    world.runUntil(5);
    EXPECT_THAT(world.requests(), IsEmpty());
}

} // namespace
} // namespace tidemark::testing
