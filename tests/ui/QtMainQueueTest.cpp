#include "ui/QtMainQueue.h"

#include "support/BackgroundLifetime.h"

#include <gtest/gtest.h>

TEST(QtMainQueue, WaitsForTheBackgroundWorkItStartedBeforeGoingAway) {
    EXPECT_EQ(
        tidemark::testing::backgroundWorkFinishedWhenTheQueueWentAway<tidemark::ui::QtMainQueue>(),
        3);
}
