#include "main/ArgumentCheck.h"

#include "support/RunCommand.h"
#include "support/TemporaryDirectory.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

namespace tidemark::cli {
namespace {

// Every kind of option and two words, the second optional.
const Command kDraw{
    .name = "draw",
    .summary = "draw a shape",
    .desktop = Desktop::ScenarioOrLive,
    .options = {{.name = "--out", .value = "FILE", .required = true, .help = "where it goes"},
                {.name = "--json", .help = "as JSON"},
                {.name = "--fill", .value = "FILL", .choices = "solid|hatched|none"}},
    .words = "SHAPE [COLOUR]",
};

// Sub-commands, each with its own words.
const Command kKeys{
    .name = "keys",
    .summary = "show or change the keys",
    .words = "show [NAME] | set NAME COMBO | clear NAME",
};

// The app itself, which runs without a command.
const Command kApp{.summary = "the app"};

Invocation accepted(const Command& command, const std::vector<std::string>& args) {
    auto checked = checkArguments(command, args);
    if (const auto* refusal = std::get_if<Refusal>(&checked)) {
        ADD_FAILURE() << refusal->line;
        return {};
    }
    return std::get<Invocation>(std::move(checked));
}

std::string refusalOf(const Command& command, const std::vector<std::string>& args) {
    const auto checked = checkArguments(command, args);
    const auto* refusal = std::get_if<Refusal>(&checked);
    return refusal ? refusal->line : "(accepted)";
}

TEST(ArgumentCheck, RefusesWithTheOneLineOfItsCommand) {
    const std::string drawUsage =
        "usage: tidemark draw [--scenario FILE] --out FILE [--json] [--fill solid|hatched|none] "
        "SHAPE [COLOUR]";
    const std::string keysUsage = "usage: tidemark keys show [NAME] | set NAME COMBO | clear NAME";
    struct Case {
        const Command& command;
        std::vector<std::string> args;
        std::string line;
    };
    const std::vector<Case> cases{
        {kDraw, {"circle", "--out", "a", "--bogus"}, "tidemark draw: unknown option '--bogus'"},
        {kDraw, {"--bogus=1", "--out", "a", "circle"}, "tidemark draw: unknown option '--bogus=1'"},
        {kDraw, {"--out", "a", "--\x1b[2J"}, "tidemark draw: unknown option '--\\x1b[2J'"},
        {kDraw, {"circle", "--out"}, "tidemark draw: --out needs FILE"},
        {kDraw, {"--out", "--json", "circle"}, "tidemark draw: --out needs FILE"},
        {kDraw, {"--out", "a", "--scenario"}, "tidemark draw: --scenario needs FILE"},
        {kDraw, {"--out", "a", "--json=yes", "circle"}, "tidemark draw: --json takes no value"},
        {kDraw, {"circle", "--json"}, "tidemark draw: --out FILE is required"},
        {kDraw,
         {"--out", "a", "--fill", "dots", "circle"},
         "tidemark draw: --fill takes solid, hatched or none, not 'dots'"},
        {kDraw,
         {"--out", "a", "--fill=", "circle"},
         "tidemark draw: --fill takes solid, hatched or none, not ''"},
        {kDraw, {"--out", "a"}, "tidemark draw: " + drawUsage},
        {kDraw, {"--out", "a", "circle", "red", "blue"}, "tidemark draw: " + drawUsage},
        {kKeys, {}, "tidemark keys: " + keysUsage},
        {kKeys, {"rename", "a"}, "tidemark keys: unknown sub-command 'rename'; " + keysUsage},
        {kKeys, {"set", "a"}, "tidemark keys: usage: tidemark keys set NAME COMBO"},
        {kKeys, {"show", "a", "b"}, "tidemark keys: usage: tidemark keys show [NAME]"},
        {kKeys, {"clear"}, "tidemark keys: usage: tidemark keys clear NAME"},
        {kApp, {"--sync"}, "tidemark: unknown option '--sync'"},
    };
    for (const auto& c : cases) {
        std::ostringstream args;
        for (const auto& arg : c.args)
            args << arg << ' ';
        EXPECT_EQ(refusalOf(c.command, c.args), c.line) << args.str();
    }
}

TEST(ArgumentCheck, TakesValuesInBothSpellingsAndLeavesTheRestToTheWords) {
    auto call = accepted(kDraw, {"--out=a=b", "circle", "-1", "--json"});
    EXPECT_EQ(call.option("--out"), "a=b");
    EXPECT_TRUE(call.flag("--json"));
    EXPECT_FALSE(call.option("--scenario"));
    EXPECT_EQ(call.words, (std::vector<std::string>{"circle", "-1"}));

    EXPECT_EQ(accepted(kDraw, {"--out", "a", "--fill=none", "circle"}).option("--fill"), "none");

    call = accepted(kDraw, {"--out", "-", "--scenario=", "circle"});
    EXPECT_EQ(call.option("--out"), "-");
    EXPECT_EQ(call.option("--scenario"), "");
    EXPECT_FALSE(call.flag("--json"));

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"show"}, {"show", "a"}, {"set", "a", "ctrl+r"}, {"clear", "a"}})
        EXPECT_EQ(accepted(kKeys, args).words, args);

    // Asking for help needs nothing else right.
    EXPECT_TRUE(accepted(kDraw, {"--bogus", "--help"}).help);
    EXPECT_TRUE(accepted(kKeys, {"rename", "--help"}).help);
}

// The parts of a usage line: options and words, required or bracketed, the words in
// alternatives split by "|".
struct UsageParts {
    std::vector<std::vector<std::string>> requiredOptions;
    std::vector<std::vector<std::string>> optionalOptions;
    struct Alternative {
        std::vector<std::string> required;
        std::vector<std::string> optional;
    };
    std::vector<Alternative> alternatives{1};
};

UsageParts partsOf(const std::string& usage) {
    std::istringstream in(usage);
    std::vector<std::string> tokens;
    for (std::string token; in >> token;)
        tokens.push_back(token);
    const auto bare = [](std::string token) {
        if (token.starts_with('['))
            token.erase(0, 1);
        if (token.ends_with(']'))
            token.pop_back();
        return token;
    };
    UsageParts parts;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const auto& token = tokens[i];
        if (token == "|") {
            parts.alternatives.emplace_back();
        } else if (token.starts_with("[--")) {
            std::vector<std::string> option{bare(token)};
            // A value shown as "a|b|c" is one of them.
            if (!token.ends_with(']')) {
                const auto value = bare(tokens[++i]);
                option.push_back(value.substr(0, value.find('|')));
            }
            parts.optionalOptions.push_back(option);
        } else if (token.starts_with("--")) {
            // A required option always takes a value; a required flag would mean nothing.
            parts.requiredOptions.push_back({token, tokens[++i]});
        } else if (token.starts_with('[')) {
            parts.alternatives.back().optional.push_back(bare(token));
        } else {
            parts.alternatives.back().required.push_back(token);
        }
    }
    return parts;
}

std::vector<std::string> joined(const std::vector<std::vector<std::string>>& groups) {
    std::vector<std::string> args;
    for (const auto& group : groups)
        args.insert(args.end(), group.begin(), group.end());
    return args;
}

// What a usage line shows as required cannot be left out, what it brackets can, and all it
// shows together is accepted: the line tells the truth about its command.
TEST(ArgumentCheck, EveryCommandAcceptsWhatItsUsageShowsAndNeedsWhatItDoesNotBracket) {
    for (const auto& command : commandTable()) {
        const auto usage = usageLine(command);
        SCOPED_TRACE(usage);
        const auto afterName = usage.substr(std::min(usage.size(), command.name.size()));
        const auto parts = partsOf(afterName);
        for (const auto& alternative : parts.alternatives) {
            const auto minimal = joined({joined(parts.requiredOptions), alternative.required});
            const auto everything =
                joined({minimal, joined(parts.optionalOptions), alternative.optional});
            EXPECT_EQ(refusalOf(command, minimal), "(accepted)");
            EXPECT_EQ(refusalOf(command, everything), "(accepted)");
            auto tooMany = everything;
            tooMany.push_back("extra");
            EXPECT_NE(refusalOf(command, tooMany), "(accepted)");
            for (std::size_t i = 0; i < parts.requiredOptions.size(); ++i) {
                auto without = parts.requiredOptions;
                without.erase(without.begin() + std::ptrdiff_t(i));
                EXPECT_NE(refusalOf(command, joined({joined(without), alternative.required})),
                          "(accepted)")
                    << parts.requiredOptions[i][0];
            }
            for (std::size_t i = 0; i < alternative.required.size(); ++i) {
                auto words = alternative.required;
                words.erase(words.begin() + std::ptrdiff_t(i));
                EXPECT_NE(refusalOf(command, joined({joined(parts.requiredOptions), words})),
                          "(accepted)")
                    << alternative.required[i];
            }
        }
    }
}

// `tidemark` alone, without `tidemark-draw` beside it, still explains and checks every
// command: it hands a command that draws over only after its arguments passed, and loads no
// scenario for it.
TEST(CommandLine, TidemarkChecksAndExplainsEveryCommandBeforeHandingOneOver) {
    const testing::TemporaryDirectory dir;
    const auto lone = (dir.path() / "tidemark").string();
    std::filesystem::copy_file(TIDEMARK_BINARY, lone);
    std::filesystem::permissions(lone, std::filesystem::perms::owner_exec,
                                 std::filesystem::perm_options::add);

    const auto overview = testing::runProgram(lone, {"--help"});
    for (const auto& command : commandTable()) {
        if (command.name.empty())
            continue;
        SCOPED_TRACE(command.name);
        EXPECT_NE(overview.out.find("\n  " + usageLine(command) + "\n"), std::string::npos)
            << overview.out;
        const auto help = testing::runProgram(lone, {std::string(command.name), "--help"});
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_EQ(help.out, helpText(command));
        EXPECT_NE(help.out.find(command.details), std::string::npos);
    }

    const auto refused = testing::runProgram(lone, {"render", "--scenario", "/nonexistent.json"});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_EQ(refused.err, "tidemark render: --out FILE.png is required\n");
    const auto handedOver = testing::runProgram(
        lone, {"render", "--scenario", "/nonexistent.json", "--out", "/nonexistent.png"});
    EXPECT_EQ(handedOver.exitCode, 1);
    EXPECT_NE(handedOver.err.find("cannot find tidemark-draw"), std::string::npos)
        << handedOver.err;
}

} // namespace
} // namespace tidemark::cli
