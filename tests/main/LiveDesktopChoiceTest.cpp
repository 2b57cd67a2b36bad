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

// A compositor the session names but that does not answer: one line naming it and where it
// was looked for.
TEST(LiveDesktopChoice, ACompositorThatDoesNotAnswerIsOneLine) {
    const std::vector<std::string> unset{"SWAYSOCK=", "HYPRLAND_INSTANCE_SIGNATURE=",
                                         "NIRI_SOCKET=", "XDG_RUNTIME_DIR=/nonexistent"};
    const std::vector<std::pair<std::string, std::string>> cases{
        {"SWAYSOCK=/nonexistent/sway.sock", "sway on /nonexistent/sway.sock"},
        {"NIRI_SOCKET=/nonexistent/niri.sock", "niri on /nonexistent/niri.sock"},
        {"HYPRLAND_INSTANCE_SIGNATURE=abc", "Hyprland on the sockets of instance abc"},
    };
    for (const auto& [variable, where] : cases) {
        std::vector<std::string> environment{variable};
        for (const auto& entry : unset)
            if (!entry.starts_with(variable.substr(0, variable.find('=') + 1)))
                environment.push_back(entry);
        const auto result = runTidemark({"snapshot"}, environment);
        EXPECT_EQ(result.exitCode, 1) << variable;
        EXPECT_EQ(result.err, "tidemark snapshot: cannot connect to " + where + "\n");
    }
}

} // namespace
} // namespace tidemark::testing
