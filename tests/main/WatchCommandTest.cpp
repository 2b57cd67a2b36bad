#include "support/RunCommand.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

using namespace tidemark::testing;

// A bar format's arguments end the watch at once with one line on standard error and
// nothing on standard output: an unknown format, an output without a format, and an output
// the desktop does not have, found at its first snapshot.
TEST(WatchCommand, RefusesWhatNoBarCanShowWithOneLine) {
    TemporaryDirectory home;
    const std::vector<std::string> env{"XDG_CONFIG_HOME=" + home.path().string()};
    const auto demo = sourcePath("examples/demo.json");
    const struct {
        std::vector<std::string> args;
        std::string line;
    } cases[] = {
        {{"--format", "yaml"},
         "tidemark watch: --format takes json, waybar, polybar or i3blocks, not 'yaml'\n"},
        {{"--output", "Built-in"}, "tidemark watch: --output goes with --format\n"},
        {{"--format", "polybar", "--output", "Nowhere"},
         "tidemark watch: no output 'Nowhere'; the outputs are 'Built-in', 'Studio Display'\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"watch", "--scenario", demo};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto result = runTidemark(args, env);
        EXPECT_EQ(result.exitCode, 2) << c.line;
        EXPECT_EQ(result.err, c.line);
        EXPECT_EQ(result.out, "");
    }
}
