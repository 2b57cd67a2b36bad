#include "popover/PopoverModelJson.h"

#include "popover/PopoverWorld.h"

#include <gtest/gtest.h>

namespace tidemark::testing {
namespace {

TEST(PopoverModelJson, ListsThePublishedFieldsByPid) {
    PopoverWorld world;
    EXPECT_EQ(popoverModelFields(*world.model).dump(),
              R"({"spaceID":null,"apps":[],"appMemory":{},"otherApps":[],"otherAppMemory":{},)"
              R"("systemMemory":null,"showResidualList":false,"isScanning":false,"residual":[],)"
              R"("lastCleanedCount":null,"lastCleanedMemory":0})");

    world.open("3");
    world.model->quitApp(101);
    EXPECT_EQ(popoverModelFields(*world.model).dump(),
              R"({"spaceID":"3","apps":[102,103,107],"appMemory":{"102":209715200,"103":52428800},)"
              R"("otherApps":[104,105,106],"otherAppMemory":{"104":314572800,"105":83886080},)"
              R"("systemMemory":{"used":7340032000,"appMemory":5767168000},)"
              R"("showResidualList":false,"isScanning":false,"residual":[],)"
              R"("lastCleanedCount":null,"lastCleanedMemory":0})");
}

} // namespace
} // namespace tidemark::testing
