#include "system/CaseFolding.h"
#include "system/ResidualProcessCleaner.h"

#include <gtest/gtest.h>
#include <unordered_map>
#include <unordered_set>

namespace tidemark {
namespace {

// What each entry needs to claim anything, and one entry per app: the first that matches
// a process wins, so a second entry for an app, under any of its identifiers, could never
// take one.
TEST(KnownPatterns, EachAppHasOneEntryWithNamesAndPaths) {
    std::unordered_map<std::string, std::string> rowOfID;
    for (const auto& pattern : ResidualProcessCleaner::knownPatterns()) {
        EXPECT_FALSE(pattern.processNamePatterns.empty()) << pattern.parentApp;
        EXPECT_FALSE(pattern.pathPatterns.empty()) << pattern.parentApp;
        std::vector<std::string> ids{pattern.parentBundleID};
        ids.insert(ids.end(), pattern.otherBundleIDs.begin(), pattern.otherBundleIDs.end());
        for (const auto& id : ids) {
            const auto [row, added] = rowOfID.try_emplace(lowercased(id), pattern.parentApp);
            EXPECT_TRUE(added || row->second == pattern.parentApp)
                << id << " of " << pattern.parentApp << " and " << row->second;
        }
    }
}

TEST(GenericProcessNames, MatchWholeNamesIgnoringCase) {
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
