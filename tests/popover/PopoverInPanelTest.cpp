#include "platform/sim/HeadlessApp.h"
#include "popover/PopoverWorld.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tidemark::testing {
namespace {

using ::testing::ElementsAre;

// The model behind the status bar's real panel: opened over space 3 (Browser's window),
// with Mail's window on space 5.
TEST(PopoverInPanel, TheStatusBarFeedsTheModelAndTheSleepButtonClosesThePanel) {
    auto builder = desktopScenario();
    builder.root["displays"] = Json::parse(R"([{"Display Identifier": "Main",
        "Current Space": {"ManagedSpaceID": 3},
        "Spaces": [{"ManagedSpaceID": 3}, {"ManagedSpaceID": 5}]}])");
    auto mailWindow = ScenarioBuilder::realWindow(72, 104);
    mailWindow["spaces"] = {5};
    builder.window(ScenarioBuilder::realWindow(71, 101)).window(mailWindow);
    sim::SimPlatform platform(builder.build());
    std::shared_ptr<SpacePopoverViewModel> model;
    sim::HeadlessApp app(platform, [&] {
        model = SpacePopoverViewModel::create(platform.popoverServices());
        return model;
    });
    app.delegate->applicationDidFinishLaunching();
    platform.mainQueue.runUntil(1);

    app.statusBar().showPopover("3");
    ASSERT_TRUE(model->space());
    EXPECT_EQ(model->space()->spaceID, "3");
    ASSERT_EQ(model->space()->appDetails.size(), 1u);
    EXPECT_EQ(model->space()->appDetails[0].pid, 101);
    ASSERT_EQ(model->otherApps().size(), 1u);
    EXPECT_EQ(model->otherApps()[0].pid, 104);
    EXPECT_THAT(model->appMemoryMap(), ElementsAre(::testing::Pair(101, 500 * kMB)));

    model->sleepSystem();
    platform.mainQueue.runUntil(3);
    EXPECT_FALSE(app.statusBar().isPopoverShown());
    EXPECT_FALSE(model->space());
    EXPECT_EQ(platform.actions.actions().size(), 1u);
}

} // namespace
} // namespace tidemark::testing
