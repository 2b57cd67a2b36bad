#include "support/RunCommand.h"

#include <gtest/gtest.h>

namespace tidemark::testing {
namespace {

const std::vector<std::string> kOtherWayland{"WAYLAND_DISPLAY=wayland-9", "DISPLAY=", "SWAYSOCK=",
                                             "HYPRLAND_INSTANCE_SIGNATURE=", "NIRI_SOCKET="};

// A Wayland session no adapter reads: each live command and the app say so in one line and
// fail; a scenario is read wherever the command runs.
TEST(LiveDesktopChoice, AnotherCompositorIsOneLineAndScenariosStillRun) {
    const std::string why = "this Wayland compositor is not supported; Tidemark reads sway, "
                            "Hyprland, niri and X11 desktops\n";
    const std::vector<std::vector<std::string>> commands{
        {"snapshot"}, {"switch", "1"}, {"watch"}, {"panel", "1"}};
    for (const auto& args : commands) {
        const auto result = runTidemark(args, kOtherWayland);
        EXPECT_EQ(result.exitCode, 1) << args[0];
        EXPECT_EQ(result.err, "tidemark " + args[0] + ": " + why);
        EXPECT_TRUE(result.out.empty()) << args[0];
    }
    const auto app = runTidemark({}, kOtherWayland);
    EXPECT_EQ(app.exitCode, 1);
    EXPECT_EQ(app.err, "tidemark: " + why);

    const auto scenario =
        runTidemark({"snapshot", "--scenario", sourcePath("examples/demo.json")}, kOtherWayland);
    EXPECT_EQ(scenario.exitCode, 0) << scenario.err;
    EXPECT_NE(scenario.out.find("\"published\": true"), std::string::npos);
}

} // namespace
} // namespace tidemark::testing
