#include "platform/linux/i3/I3WorkspaceSwitch.h"

#include <gtest/gtest.h>

namespace tidemark::linux_platform::i3 {
namespace {

// Two workspaces share the number 3; only the full name tells them apart.
const nlohmann::json kWorkspaces = nlohmann::json::parse(R"([
    {"id": 11, "num": 3, "name": "3", "output": "A"},
    {"id": 12, "num": 3, "name": "3:web", "output": "B"},
    {"id": 13, "num": -1, "name": "say \"hi\" \\o/", "output": "A"},
    "not a workspace",
    {"id": "14", "name": "id as text"},
    {"id": 15, "name": 7}
])");

// A switch shows the workspace, a move sends container 94 there; both by the same name.
TEST(I3WorkspaceSwitch, NamesTheWorkspaceOfTheIdQuotedForTheParser) {
    const struct {
        std::int64_t id;
        std::optional<std::string> name;
    } cases[] = {
        {11, R"("3")"},     {12, R"("3:web")"}, {13, R"("say \"hi\" \\o/")"},
        {14, std::nullopt}, {15, std::nullopt}, {3, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(workspaceSwitchCommand(kWorkspaces, c.id),
                  c.name ? "workspace --no-auto-back-and-forth " + *c.name : c.name)
            << c.id;
        EXPECT_EQ(windowMoveCommand(kWorkspaces, 94, c.id),
                  c.name ? "[con_id=94] move --no-auto-back-and-forth container to workspace " +
                               *c.name
                         : c.name)
            << c.id;
    }
    EXPECT_EQ(workspaceSwitchCommand(nlohmann::json::object(), 11), std::nullopt);
    EXPECT_EQ(windowMoveCommand(nlohmann::json::object(), 94, 11), std::nullopt);
}

TEST(I3WorkspaceSwitch, OnlyAReplyOfSuccessesSucceeds) {
    const struct {
        const char* reply;
        bool succeeded;
    } cases[] = {
        {R"([{"success": true}])", true},
        {R"([{"success": true}, {"success": true}])", true},
        {R"([{"success": true}, {"success": false, "error": "x"}])", false},
        {R"([{"success": "true"}])", false},
        {R"([{}])", false},
        {R"([])", false},
        {R"({"success": true})", false},
        {R"([true])", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(commandsSucceeded(nlohmann::json::parse(c.reply)), c.succeeded) << c.reply;
}

} // namespace
} // namespace tidemark::linux_platform::i3
