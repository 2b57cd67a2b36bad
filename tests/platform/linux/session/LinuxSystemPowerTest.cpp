#include "platform/linux/session/LinuxSystemPower.h"

#include <gtest/gtest.h>

namespace tidemark::linux_platform {
namespace {

// Only the tool stage runs here, with harmless stand-ins: nothing in the tests may ask the
// real logind or systemctl to suspend the machine.
TEST(LinuxSystemPower, TheToolStageReportsHowTheToolEnded) {
    struct Case {
        const char* name;
        std::string path;
        std::vector<std::string> arguments;
        std::optional<int> expected;
    };
    const std::vector<Case> cases{
        {"exits 0", "/bin/sh", {"-c", "exit 0"}, 0},
        {"exits 1", "/bin/sh", {"-c", "exit 1"}, 1},
        {"killed by a signal", "/bin/sh", {"-c", "kill -9 $$"}, -1},
        {"missing", "/nonexistent/systemctl", {"suspend"}, std::nullopt},
        {"not executable", "/etc/hostname", {}, std::nullopt},
    };
    for (const auto& c : cases) {
        LinuxSystemPower power(c.path, c.arguments);
        EXPECT_EQ(power.runSleepTool(), c.expected) << c.name;
    }
}

} // namespace
} // namespace tidemark::linux_platform
