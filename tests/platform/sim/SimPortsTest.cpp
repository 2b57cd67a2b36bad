#include "platform/sim/SimPlatform.h"

#include <gtest/gtest.h>

namespace tidemark {
namespace {

constexpr const char* kScenario = R"({
  "windows": [{"kCGWindowNumber": 7, "kCGWindowOwnerPID": 101, "spaces": [1]}],
  "apps": [{"pid": 101, "bundleIdentifier": "org.a.A"}]
})";

TEST(SimPorts, AnswersAreSharedNotCopied) {
    sim::SimPlatform platform(sim::parseScenario(kScenario, "ports test"));
    auto& server = platform.windowServer;
    const auto first = server.copyWindowInfo(WindowServer::kWindowListExcludeDesktopElements, 0);
    const auto second = server.copyWindowInfo(WindowServer::kWindowListExcludeDesktopElements, 0);
    ASSERT_TRUE(first && second);
    EXPECT_TRUE(first->sharesStorageWith(*second));
    EXPECT_EQ(first->asArray()->front().find("spaces"), nullptr);
    const auto spacesOf = *server.lookupSpacesForWindows();
    const auto spaces = spacesOf(1, WindowServer::kAllSpacesMask, {7});
    ASSERT_TRUE(spaces);
    EXPECT_TRUE(spaces->sharesStorageWith(*spacesOf(1, WindowServer::kAllSpacesMask, {7})));

    auto& workspace = platform.workspace;
    const auto apps = workspace.sharedRunningApplications();
    EXPECT_EQ(apps, workspace.sharedRunningApplications());
    // A reader keeps the answer it was given, whatever changes afterwards.
    workspace.setApps({});
    EXPECT_EQ(apps->size(), 1u);
    EXPECT_TRUE(workspace.sharedRunningApplications()->empty());
    EXPECT_TRUE(workspace.runningApplications().empty());
}

} // namespace
} // namespace tidemark
