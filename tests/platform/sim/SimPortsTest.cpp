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
    const auto windows = server.windows();
    ASSERT_TRUE(windows);
    EXPECT_EQ(windows, server.windows());
    EXPECT_EQ(server.displays(), server.displays());

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
