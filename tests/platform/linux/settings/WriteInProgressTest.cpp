#include "platform/linux/settings/WriteInProgress.h"

#include <gtest/gtest.h>
#include <vector>

using tidemark::linux_platform::WriteInProgress;
using namespace std::chrono_literals;

namespace {

struct Step {
    enum class Kind { Create, Settle, Look } kind;
    std::chrono::milliseconds at{};
    std::uintmax_t size = 0;
    bool stillWriting = false; // for a look
};

Step create(std::chrono::milliseconds at) {
    return {Step::Kind::Create, at};
}
Step settle() {
    return {Step::Kind::Settle};
}
Step look(std::chrono::milliseconds at, std::uintmax_t size, bool stillWriting) {
    return {Step::Kind::Look, at, size, stillWriting};
}

} // namespace

TEST(WriteInProgress, WaitsForAnEmptyOrGrowingFileUntilItIsClosedOrHadItsGraceTime) {
    const struct {
        const char* name;
        std::vector<Step> steps;
    } cases[] = {
        {"never created here: judged at once", {look(0ms, 0, false), look(1ms, 40, false)}},
        {"created, still empty", {create(0ms), look(1ms, 0, true), look(1999ms, 0, true)}},
        {"created empty, timed out", {create(0ms), look(1ms, 0, true), look(2000ms, 0, false)}},
        {"growing", {create(0ms), look(1ms, 100, true), look(5ms, 250, true)}},
        {"grew, then stopped short", {create(0ms), look(1ms, 100, true), look(9ms, 100, false)}},
        {"growing past its grace time",
         {create(0ms), look(1ms, 10, true), look(2001ms, 20, false)}},
        {"closed", {create(0ms), look(1ms, 0, true), settle(), look(2ms, 0, false)}},
        {"closed before the first look", {create(0ms), settle(), look(1ms, 0, false)}},
        {"judged once, judged after",
         {create(0ms), look(2000ms, 0, false), look(2001ms, 0, false)}},
        {"created again: a new grace time",
         {create(0ms), look(1500ms, 0, true), create(1800ms), look(3000ms, 0, true),
          look(3800ms, 0, false)}},
    };
    const auto start = WriteInProgress::Clock::time_point{} + 1h;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteInProgress write;
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            SCOPED_TRACE(i);
            const auto& step = c.steps[i];
            switch (step.kind) {
            case Step::Kind::Create:
                write.created(start + step.at);
                EXPECT_EQ(write.deadline(), start + step.at + WriteInProgress::kGrace);
                break;
            case Step::Kind::Settle:
                write.settled();
                EXPECT_FALSE(write.deadline());
                break;
            case Step::Kind::Look:
                EXPECT_EQ(write.stillWriting(step.size, start + step.at), step.stillWriting);
                EXPECT_EQ(write.deadline().has_value(), step.stillWriting);
                break;
            }
        }
    }
}
