#include "platform/sim/EventScript.h"

#include <gtest/gtest.h>

namespace tidemark::sim {
namespace {

TEST(KeyEventScript, KeyEventsCarryTheCodeAndTheServiceModifierBits) {
    const auto events = parseEventScript(
        R"([{"at": 1, "event": "keyUp", "keyCode": 15, "modifiers": ["control", "option"]},
            {"at": 0.5, "event": "keyDown", "keyCode": 96}])",
        "keys");
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, EventKind::KeyDown);
    EXPECT_EQ(events[0].keyCode, 96u);
    EXPECT_EQ(events[0].modifiers, 0u);
    EXPECT_EQ(events[1].kind, EventKind::KeyUp);
    EXPECT_EQ(events[1].modifiers, 0x1000u | 0x800u);
}

TEST(KeyEventScript, BadKeyEventsNameTheMember) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {R"([{"at": 1, "event": "keyUp"}])", "[0].keyCode': missing"},
        {R"([{"at": 1, "event": "keyUp", "keyCode": -1}])", "[0].keyCode'"},
        {R"([{"at": 1, "event": "keyUp", "keyCode": 4294967296}])", "[0].keyCode'"},
        {R"([{"at": 1, "event": "keyUp", "keyCode": 15, "modifiers": ["hyper"]}])",
         "unknown modifier \"hyper\""},
        {R"([{"at": 1, "event": "keyUp", "keyCode": 15, "modifiers": "control"}])",
         "[0].modifiers'"},
        {R"([{"at": 1, "event": "keyUp", "keyCode": 15, "pid": 3}])", "[0].pid'"},
    };
    for (const auto& [script, expected] : cases) {
        try {
            parseEventScript(script, "keys");
            ADD_FAILURE() << "accepted " << script;
        } catch (const ScenarioError& e) {
            EXPECT_NE(std::string(e.what()).find(expected), std::string::npos) << e.what();
        }
    }
}

} // namespace
} // namespace tidemark::sim
