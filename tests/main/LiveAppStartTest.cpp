#include "support/RunCommand.h"
#include "support/TemporaryDirectory.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace tidemark::testing {
namespace {

// A display that names no server ends the app with one line of its own, before the toolkit
// reports it in several.
TEST(LiveAppStart, ADisplayThatAnswersNothingIsOneLine) {
    const TemporaryDirectory runtime;
    for (const std::string display : {":4093", "not a display"}) {
        SCOPED_TRACE(display);
        if (std::filesystem::exists("/tmp/.X11-unix/X4093"))
            GTEST_SKIP() << "display :4093 exists here";
        const auto result =
            runTidemark({}, {"DISPLAY=" + display, "XDG_RUNTIME_DIR=" + runtime.path().string()});
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err, "tidemark: cannot connect to the X server on " + display + "\n");
        EXPECT_TRUE(result.out.empty());
    }
}

} // namespace
} // namespace tidemark::testing
