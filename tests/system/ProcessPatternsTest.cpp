#include "system/ResidualProcessCleaner.h"

#include <gtest/gtest.h>
#include <unordered_set>

namespace tidemark {
namespace {

TEST(KnownPatterns, HoldsTheThirtySevenAppsInOrder) {
    const auto& patterns = ResidualProcessCleaner::knownPatterns();
    ASSERT_EQ(patterns.size(), 37u);
    const std::vector<std::string> expectedOrder{"Android Studio",
                                                 "IntelliJ IDEA",
                                                 "PyCharm",
                                                 "WebStorm",
                                                 "CLion",
                                                 "GoLand",
                                                 "Rider",
                                                 "PhpStorm",
                                                 "RubyMine",
                                                 "DataGrip",
                                                 "RustRover",
                                                 "Fleet",
                                                 "Google Chrome",
                                                 "Microsoft Edge",
                                                 "Brave Browser",
                                                 "Arc",
                                                 "Opera",
                                                 "Vivaldi",
                                                 "Firefox",
                                                 "Visual Studio Code",
                                                 "Visual Studio Code - Insiders",
                                                 "Cursor",
                                                 "Zed",
                                                 "Sublime Text",
                                                 "Slack",
                                                 "Discord",
                                                 "Spotify",
                                                 "Figma",
                                                 "Docker",
                                                 "Postman",
                                                 "Notion",
                                                 "Obsidian",
                                                 "Microsoft Teams",
                                                 "Zoom",
                                                 "Telegram",
                                                 "WhatsApp",
                                                 "Xcode"};
    std::unordered_set<std::string> bundleIDs;
    for (std::size_t i = 0; i < patterns.size(); ++i) {
        EXPECT_EQ(patterns[i].parentApp, expectedOrder[i]);
        EXPECT_FALSE(patterns[i].processNamePatterns.empty());
        EXPECT_FALSE(patterns[i].pathPatterns.empty());
        EXPECT_TRUE(bundleIDs.insert(patterns[i].parentBundleID).second);
        // Only Docker waits for its app to quit.
        EXPECT_EQ(patterns[i].cleanWhenWindowClosed, i != 28) << patterns[i].parentApp;
    }
    EXPECT_EQ(patterns[0].processNamePatterns.size(), 8u);
    EXPECT_EQ(patterns[12].parentBundleID, "com.google.Chrome");
    EXPECT_EQ(patterns[12].processNamePatterns.back(), "chrome_crashpad_handler");
    EXPECT_EQ(patterns[33].processNamePatterns.front(), "zoom.us");
    EXPECT_EQ(patterns[33].pathPatterns, std::vector<std::string>{"zoom.us"});
    EXPECT_EQ(patterns[36].processNamePatterns.back(), "SourceKitService");
    // The same table on every access.
    EXPECT_EQ(&ResidualProcessCleaner::knownPatterns(), &patterns);
}

TEST(GenericProcessNames, MatchWholeNamesIgnoringCase) {
    EXPECT_EQ(ResidualProcessCleaner::genericProcessNames().size(), 5u);
    for (const char* name : {"java", "JAVA", "Java", "electron", "crashpad_handler",
                             "Chrome_Crashpad_Handler", "msedge_crashpad_handler"})
        EXPECT_TRUE(ResidualProcessCleaner::isGenericProcessName(name)) << name;
    for (const char* name : {"javac", "jav", "electron-helper", "crashpad", ""})
        EXPECT_FALSE(ResidualProcessCleaner::isGenericProcessName(name)) << name;
}

TEST(ResidualProcessRecord, IsIdentifiedByItsPidAlone) {
    const ResidualProcess a{7, "a", "A", 1, 2, 3, 100};
    const ResidualProcess b{7, "b", "B", std::nullopt, std::nullopt, std::nullopt, 200};
    const ResidualProcess c{8, "a", "A", 1, 2, 3, 100};
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    EXPECT_EQ(std::hash<ResidualProcess>{}(a), std::hash<ResidualProcess>{}(b));
    std::unordered_set<ResidualProcess> set{a, b, c};
    EXPECT_EQ(set.size(), 2u);
    EXPECT_EQ(ResidualProcessCleaner::totalMemory({}), 0u);
    EXPECT_EQ(ResidualProcessCleaner::totalMemory({a, b, c}), 2u);
}

} // namespace
} // namespace tidemark
