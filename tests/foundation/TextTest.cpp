#include "foundation/Text.h"

#include <gtest/gtest.h>

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
