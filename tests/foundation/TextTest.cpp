#include "foundation/Text.h"

#include <gtest/gtest.h>
#include <tuple>

using namespace tidemark;

TEST(Text, CaseMappingIsFullAndLocaleIndependent) {
    EXPECT_EQ(text::toUpper("straße"), "STRASSE");
    EXPECT_EQ(text::toUpper("safari"), "SAFARI");
    EXPECT_EQ(text::toLower("FiNdEr"), "finder");
    // Turkish dotted capital I lower-cases to i + combining dot, not to a dotless i.
    EXPECT_EQ(text::toLower("I"), "i");
}

TEST(Text, PrefixCountsUserPerceivedCharacters) {
    // "e" + combining acute is one character; a flag is two regional indicators.
    EXPECT_EQ(text::prefixCharacters("e\u0301tude", 3), "e\u0301tu");
    EXPECT_EQ(text::prefixCharacters("\U0001F1EB\U0001F1F7ab", 2), "\U0001F1EB\U0001F1F7a");
    EXPECT_EQ(text::prefixCharacters("\U0001F468\u200D\U0001F469\u200D\U0001F467xyz", 1),
              "\U0001F468\u200D\U0001F469\u200D\U0001F467");
    EXPECT_EQ(text::prefixCharacters("ab", 3), "ab");
    EXPECT_EQ(text::prefixCharacters("", 3), "");
    EXPECT_EQ(text::characterCount("e\u0301\U0001F1EB\U0001F1F7"), 2u);
}

TEST(Text, CapitalizesWords) {
    EXPECT_EQ(text::capitalized("hello wORLD"), "Hello World");
}

TEST(Text, RepairsAndBoundsUntrustedBytes) {
    EXPECT_EQ(text::repairUtf8("a\xff"
                               "b"),
              "a\uFFFDb");
    EXPECT_EQ(text::repairUtf8("ok"), "ok");
    // A cut never splits a character: "é" is two bytes.
    EXPECT_EQ(text::boundedUtf8("aé", 2), "a");
    EXPECT_EQ(text::boundedUtf8("aé", 3), "aé");
    EXPECT_EQ(text::boundedUtf8(std::string(1 << 20, 'x'), 10).size(), 10u);
}

TEST(Text, BoundingNeverLeavesAReplacementForAStraddlingCharacter) {
    // Four-byte characters at every offset against every limit: the result is always the
    // longest whole-character prefix.
    const std::string emoji = "\U0001F600";
    for (const std::string& prefix : {std::string(), std::string("a"), std::string("ab"),
                                      std::string("abc"), std::string("é")}) {
        const std::string input = prefix + emoji + emoji + "z";
        for (std::size_t limit = 0; limit <= input.size(); ++limit) {
            SCOPED_TRACE(prefix + " limit " + std::to_string(limit));
            const auto bounded = text::boundedUtf8(input, limit);
            EXPECT_LE(bounded.size(), limit);
            EXPECT_TRUE(input.starts_with(bounded));
            EXPECT_GT(bounded.size() + 4, limit); // nothing whole was dropped
        }
    }
}

TEST(Text, PrintableKeepsAMessageOnOneLine) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"plain é ✓", "plain é ✓"},
        {"a\nb\r\tc", "a\\nb\\r\\tc"},
        {"\x1b[31mred\x07", "\\x1b[31mred\\x07"},
        {"del\x7f", "del\\x7f"},
        {"next\xc2\x85line", "next\\u0085line"},
        {"bad\xff", "bad\uFFFD"},
    };
    for (const auto& [input, expected] : cases)
        EXPECT_EQ(text::printable(input), expected);
}

TEST(Text, ShownNamesLoseTheControlsThatTurnTextAround) {
    const std::vector<std::tuple<std::string, std::size_t, std::string>> cases{
        {"Files", 256, "Files"},
        {"evil\u202Efdp.exe", 256, "evilfdp.exe"},                       // right-to-left override
        {"\u202A\u202B\u202C\u202Dx\u2066\u2067\u2068\u2069", 256, "x"}, // every embedding/isolate
        {"\u05E2\u05D1\u05E8\u05D9\u05EA\u200F", 256, "\u05E2\u05D1\u05E8\u05D9\u05EA\u200F"},
        {"\u2014 dash \u2026", 256, "\u2014 dash \u2026"}, // other E2 80 characters stay
        {"cut\u202E", 4, "cut"},                           // a control split by the bound
        {"end\u202E", 256, "end"},
    };
    for (const auto& [input, bound, expected] : cases) {
        SCOPED_TRACE(input);
        EXPECT_EQ(text::boundedName(input, bound), expected);
    }
}
