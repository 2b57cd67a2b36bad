#include "popover/PopoverWorld.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tidemark::testing {
namespace {

using ::testing::ElementsAre;

TEST(PopoverSleep, ASecondPressDuringTheRequestIsIgnored) {
    PopoverWorld world;
    world.open("3");
    int dismissals = 0;
    world.model->setOnDismissRequest([&] { ++dismissals; });

    world.model->sleepSystem();
    EXPECT_TRUE(world.model->isSleeping());
    EXPECT_EQ(dismissals, 0); // after the current event
    world.runUntil(0.1);
    EXPECT_EQ(dismissals, 1);
    world.model->sleepSystem();
    world.runUntil(1.9);
    EXPECT_TRUE(world.model->isSleeping());
    world.runUntil(2.0);
    EXPECT_FALSE(world.model->isSleeping());
    EXPECT_FALSE(world.model->sleepFailed());
    world.model->sleepSystem();
    world.runUntil(5);

    EXPECT_EQ(dismissals, 2);
    EXPECT_THAT(world.requests(), ElementsAre(R"(0.000 {"kind":"sleepRequest"})",
                                              R"(2.000 {"kind":"sleepRequest"})"));
}

TEST(PopoverSleep, AFailedRequestIsReportedAndTheButtonStaysUsable) {
    PopoverWorld world;
    world.platform.power.setSleepToolStatus(std::nullopt);
    world.platform.power.setServiceAnswer(PowerServiceAnswer::Refused);

    world.model->sleepSystem();
    world.runUntil(0);
    EXPECT_TRUE(world.model->sleepFailed());
    world.runUntil(2);
    EXPECT_FALSE(world.model->isSleeping());

    world.platform.power.setSleepToolStatus(0);
    world.model->sleepSystem();
    EXPECT_FALSE(world.model->sleepFailed());
    world.runUntil(4);
    EXPECT_FALSE(world.model->sleepFailed());
    EXPECT_THAT(world.assignments(PopoverField::SleepFailed), ElementsAre(0.0, 2.0));
}

} // namespace
} // namespace tidemark::testing
