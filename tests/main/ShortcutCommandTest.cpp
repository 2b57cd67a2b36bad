#include "support/RunCommand.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

namespace tidemark::testing {
namespace {

// Each run sees only this test's settings file and no X server: the keyboard layout is the
// one the XKB_DEFAULT_* variables name.
struct ShortcutCommand {
    CommandResult run(const std::vector<std::string>& args, const std::string& layout = "us") {
        return runTidemark(args, {"XDG_CONFIG_HOME=" + config.path().string(),
                                  "DISPLAY=", "XKB_DEFAULT_LAYOUT=" + layout});
    }
    const TemporaryDirectory config;
};

TEST(ShortcutCommandLine, SetShowAndClearGoThroughTheStoredEntry) {
    ShortcutCommand tool;
    EXPECT_EQ(tool.run({"shortcut", "show"}).out, "refresh: none\n");
    auto result = tool.run({"shortcut", "set", "refresh", "ctrl+alt+r"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "refresh: Ctrl+Alt+R\n");
    EXPECT_EQ(tool.run({"defaults", "read", "KeyBindings_refresh"}).out,
              "\"{\\\"carbonKeyCode\\\":15,\\\"carbonModifiers\\\":6144}\"\n");
    EXPECT_EQ(tool.run({"shortcut", "show", "refresh"}).out, "refresh: Ctrl+Alt+R\n");
    result = tool.run({"shortcut", "clear", "refresh"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "refresh: none\n");
    EXPECT_EQ(tool.run({"defaults", "read", "KeyBindings_refresh"}).exitCode, 1); // removed
}

TEST(ShortcutCommandLine, RefusalsAreOneLineNamingTheBadWordAndStoreNothing) {
    ShortcutCommand tool;
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string message;
    };
    const std::vector<Case> cases{
        {{"shortcut", "set", "refresh", "hyper+r"}, 2, "unknown modifier 'hyper'"},
        {{"shortcut", "set", "refresh", "ctrl+foo"}, 2, "unknown key 'foo'"},
        {{"shortcut", "set", "refresh", "ctrl+alt"}, 2, "names no key"},
        {{"shortcut", "set", "refresh", "fn+ctrl+r"}, 2, "a combination with fn cannot be"},
        {{"shortcut", "set", "refresh", "shift+r"}, 1, "'shift+r' needs ctrl, alt or super"},
        {{"shortcut", "set", "refresh", "escape"}, 1, "'escape' alone ends recording"},
        {{"shortcut", "set", "other", "ctrl+r"}, 2, "unknown shortcut name 'other'"},
        {{"shortcut", "set", "refresh"}, 2, "usage: tidemark shortcut"},
        {{"shortcut", "rename", "refresh"}, 2, "unknown sub-command 'rename'"},
    };
    for (const auto& c : cases) {
        const auto result = tool.run(c.args);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.message;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        EXPECT_TRUE(result.out.empty());
    }
    EXPECT_EQ(tool.run({"shortcut", "show"}).out, "refresh: none\n");
    // F-keys may stand alone.
    EXPECT_EQ(tool.run({"shortcut", "set", "refresh", "F13"}).out, "refresh: F13\n");
}

TEST(ShortcutCommandLine, KeysReadAsAnAsciiCapableLayoutLabelsThemAndTheWordsReadBack) {
    ShortcutCommand tool;
    const struct {
        std::string layout;
        std::string combo;
        std::string shown;
    } cases[] = {
        {"us", "Ctrl+Alt+Page Up", "Ctrl+Alt+Page Up"},
        {"us", "super+shift+keypad plus", "Shift+Super+Keypad Plus"},
        {"us", "alt+return", "Alt+Enter"},
        {"ru", "ctrl+alt+r", "Ctrl+Alt+R"},    // no Latin group: the US layout's letter
        {"ru,us", "ctrl+alt+r", "Ctrl+Alt+R"}, // the Cyrillic group active: the Latin group's
        {"de", "ctrl+minus", "Ctrl+ß"},        // a Latin layout keeps its own labels
    };
    for (const auto& c : cases) {
        const auto result = tool.run({"shortcut", "set", "refresh", c.combo}, c.layout);
        EXPECT_EQ(result.out, "refresh: " + c.shown + "\n") << c.layout << " " << result.err;
        if (c.layout == "us") { // what is shown is what `set` takes
            EXPECT_EQ(tool.run({"shortcut", "set", "refresh", c.shown}).out, result.out);
        }
    }
}

TEST(ShortcutCommandLine, AnUnreadableEntryIsShownAsNoneAndLeftAlone) {
    ShortcutCommand tool;
    const std::string broken = R"("{\"carbonKeyCode\": 15, \"carbonModifiers\": 1e99}")";
    ASSERT_EQ(tool.run({"defaults", "write", "KeyBindings_refresh", broken}).exitCode, 0);
    EXPECT_EQ(tool.run({"shortcut", "show"}).out,
              "refresh: none (the stored entry is not a shortcut; it is left as it is)\n");
    tool.run({"shortcut", "clear", "refresh"});
    EXPECT_EQ(tool.run({"defaults", "read", "KeyBindings_refresh"}).out, broken + "\n");
}

// A terminal is not told to do anything by the words it is shown back.
TEST(ShortcutCommandLine, ControlCharactersInTheWordsAreShownEscaped) {
    ShortcutCommand tool;
    const struct {
        std::vector<std::string> args;
        std::string escaped;
    } cases[] = {
        {{"shortcut", "set", "refresh", "shift+\x1b[2Jr"}, "\\x1b[2J"},
        {{"shortcut", "set", "re\nfresh", "ctrl+r"}, "'re\\nfresh'"},
        {{"shortcut", "set", "refresh", "ctrl+\a"}, "\\x07"},
    };
    for (const auto& c : cases) {
        const auto result = tool.run(c.args);
        EXPECT_NE(result.exitCode, 0);
        EXPECT_NE(result.err.find(c.escaped), std::string::npos) << result.err;
        EXPECT_EQ(std::count_if(result.err.begin(), result.err.end(),
                                [](char ch) { return ch != '\n' && (ch & 0xE0) == 0; }),
                  0)
            << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    }
}

} // namespace
} // namespace tidemark::testing
