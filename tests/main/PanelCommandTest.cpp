#include "support/RunCommand.h"
#include "support/TemporaryDirectory.h"
#include "support/TextFiles.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using tidemark::testing::runTidemark;
using tidemark::testing::TemporaryDirectory;
using tidemark::testing::writeFile;

namespace {

// Two desktops: an editor on the first, a browser and the editor on the second.
std::string twoDesktops(int style) {
    return R"({"settings": {"displayStyle": )" + std::to_string(style) + R"(},
      "displays": [{"Display Identifier": "Main", "Current Space": {"ManagedSpaceID": 1},
                    "Spaces": [{"ManagedSpaceID": 1}, {"ManagedSpaceID": 2}]}],
      "windows": [
        {"kCGWindowLayer": 0, "kCGWindowNumber": 10, "kCGWindowOwnerPID": 100, "spaces": [1, 2]},
        {"kCGWindowLayer": 0, "kCGWindowNumber": 11, "kCGWindowOwnerPID": 200, "spaces": [2]}],
      "apps": [{"pid": 100, "bundleIdentifier": "org.editor", "localizedName": "Editor"},
               {"pid": 200, "bundleIdentifier": "org.browser", "localizedName": "Browser"}],
      "processes": [{"pid": 100, "rusage": {"physFootprint": 1048576}},
                    {"pid": 200, "rusage": {"physFootprint": 2097152}}]})";
}

TEST(PanelCommand, ListsTheSpacesAppsInEveryStyle) {
    const TemporaryDirectory dir;
    // Numbers, rectangles with numbers, then opened apps: the refresh lists apps only in the
    // last, the panel in all of them.
    for (const int style : {1, 3, 4}) {
        const auto file = writeFile(dir.path() / "desk.json", twoDesktops(style));
        const auto result = runTidemark({"panel", "1", "--json", "--scenario", file});
        ASSERT_EQ(result.exitCode, 0) << result.err;
        const auto json = nlohmann::json::parse(result.out);
        EXPECT_EQ(json["spaceID"], "1") << style;
        EXPECT_EQ(json["apps"], nlohmann::json::array({100})) << style;
        EXPECT_EQ(json["appMemory"]["100"], 1048576) << style;
        // The editor is on this space already, so only the browser is another desktop's.
        EXPECT_EQ(json["otherApps"], nlohmann::json::array({200})) << style;
        EXPECT_EQ(json["otherAppMemory"]["200"], 2097152) << style;
        EXPECT_EQ(json["names"], (nlohmann::json{{"100", "Editor"}, {"200", "Browser"}})) << style;
    }
}

TEST(PanelCommand, PrintsATableAndRefusesAnUnknownSpace) {
    const TemporaryDirectory dir;
    const auto file = writeFile(dir.path() / "desk.json", twoDesktops(1));
    const auto table = runTidemark({"panel", "2", "--scenario", file});
    ASSERT_EQ(table.exitCode, 0) << table.err;
    EXPECT_NE(table.out.find("Browser"), std::string::npos) << table.out;
    EXPECT_NE(table.out.find("Other Desktops"), std::string::npos) << table.out;

    const auto unknown = runTidemark({"panel", "9", "--scenario", file});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.out.empty());
    EXPECT_EQ(std::count(unknown.err.begin(), unknown.err.end(), '\n'), 1) << unknown.err;
    EXPECT_EQ(runTidemark({"panel", "--scenario", file}).exitCode, 2);
}

} // namespace
