#include "support/RunCommand.h"
#include "support/TemporaryDirectory.h"
#include "support/TextFiles.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using tidemark::testing::runTidemark;
using tidemark::testing::sourcePath;

using tidemark::testing::readFile;
using tidemark::testing::TemporaryDirectory;
using tidemark::testing::writeFile;

TEST(SnapshotCommand, PrintsTheDemoSnapshot) {
    const auto result = runTidemark({"snapshot", "--scenario", sourcePath("examples/demo.json")});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto json = nlohmann::json::parse(result.out);
    EXPECT_TRUE(json["published"]);
    ASSERT_EQ(json["spaces"].size(), 6u);
    const auto& fullScreen = json["spaces"][3];
    EXPECT_EQ(fullScreen["spaceName"], "BRO");
    EXPECT_TRUE(fullScreen["desktopNumber"].is_null());
    EXPECT_TRUE(fullScreen["isFullScreen"]);
    EXPECT_EQ(json["spaces"][4]["displayID"], "Studio Display");
    EXPECT_EQ(json["spaces"][4]["desktopNumber"], 1);
    EXPECT_EQ(json["storedSpaceNames"]["9"]["spaceName"], "BRO");
    EXPECT_EQ(json["storedSpaceNames"]["9"]["spaceNum"], 4);
    EXPECT_EQ(json["signature"].get<std::string>().substr(0, 13), "4:false:true:");
}

TEST(SnapshotCommand, AnUnreadableAnswerPublishesNothing) {
    const TemporaryDirectory dir;
    const auto file = writeFile(dir.path() / "null-displays.json", R"({"displays": null})");
    const auto result = runTidemark({"snapshot", "--scenario", file});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto json = nlohmann::json::parse(result.out);
    EXPECT_FALSE(json["published"]);
    EXPECT_EQ(json["signature"], "");
    EXPECT_TRUE(json["spaces"].empty());
    EXPECT_TRUE(json["storedSpaceNames"].is_null());
}

TEST(SnapshotCommand, BadScenariosExitTwoWithOneLineNamingFileMemberAndReason) {
    const auto missing = runTidemark({"snapshot", "--scenario", "/nonexistent/s.json"});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_EQ(missing.err, "tidemark: /nonexistent/s.json: member '(file)': cannot be opened\n");

    const TemporaryDirectory dir;
    const auto file =
        writeFile(dir.path() / "typo.json", R"({"apps": [{"pid": 1, "hiden": true}]})");
    const auto typo = runTidemark({"snapshot", "--scenario", file});
    EXPECT_EQ(typo.exitCode, 2);
    EXPECT_EQ(typo.err, "tidemark: " + file + ": member 'apps[0].hiden': unknown member\n");
    EXPECT_TRUE(typo.out.empty());

    EXPECT_EQ(runTidemark({"snapshot", "--scenaro", file}).exitCode, 2);
    EXPECT_EQ(runTidemark({"frobnicate"}).exitCode, 2);
}

TEST(CommandLine, HelpAndVersion) {
    const auto help = runTidemark({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("snapshot"), std::string::npos);
    const auto version = runTidemark({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.starts_with("tidemark ")) << version.out;
}

// The commands that need no Qt start without loading it, nor libsystemd, which is opened
// when a bus is first needed: the loader's own list of what the binary needs (what ldd
// prints) names neither. The drawing commands' tests show that the hand-over to the drawing
// executable works, and the portal's and logind's tests that the late loading does.
TEST(CommandLine, TheHeadlessBinaryLoadsNoQtNorSystemd) {
    const auto loaded = runTidemark({"--version"}, {"LD_TRACE_LOADED_OBJECTS=1"});
    EXPECT_EQ(loaded.exitCode, 0);
    EXPECT_NE(loaded.out.find("libplist"), std::string::npos) << loaded.out;
    EXPECT_EQ(loaded.out.find("libQt"), std::string::npos) << loaded.out;
    EXPECT_EQ(loaded.out.find("libsystemd"), std::string::npos) << loaded.out;
    // "render --help" is answered here, without the drawing executable.
    const auto help = runTidemark({"render", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.starts_with("Usage: tidemark render")) << help.out;
}

TEST(DefaultsCommand, WritesReadsAndDeletesTheSettingsFile) {
    const TemporaryDirectory home;
    const std::vector<std::string> env{"XDG_CONFIG_HOME=" + home.path().string()};

    EXPECT_EQ(runTidemark({"defaults", "read", "displayStyle"}, env).out, "4\n");
    EXPECT_EQ(runTidemark({"defaults", "write", "displayStyle", "2"}, env).exitCode, 0);
    EXPECT_EQ(
        runTidemark({"defaults", "write", "activeSpaceColor", "[0.5, 0.25, 1, 1]"}, env).exitCode,
        0);
    EXPECT_EQ(runTidemark({"defaults", "read", "displayStyle"}, env).out, "2\n");
    const auto all = nlohmann::json::parse(runTidemark({"defaults", "read"}, env).out);
    EXPECT_EQ(all["displayStyle"], 2);
    EXPECT_EQ(all["hoverPopupEnabled"], true);
    EXPECT_EQ(all["activeSpaceColor"][1], 0.25);
    EXPECT_TRUE(std::filesystem::exists(home.path() / "tidemark" / "defaults.plist"));

    EXPECT_EQ(runTidemark({"defaults", "delete", "displayStyle"}, env).exitCode, 0);
    EXPECT_EQ(runTidemark({"defaults", "read", "displayStyle"}, env).out, "4\n");
    const auto absent = runTidemark({"defaults", "read", "nothing"}, env);
    EXPECT_EQ(absent.exitCode, 1);

    const auto badJson = runTidemark({"defaults", "write", "displayStyle", "{oops"}, env);
    EXPECT_EQ(badJson.exitCode, 2);
    EXPECT_EQ(std::count(badJson.err.begin(), badJson.err.end(), '\n'), 1);
    EXPECT_EQ(runTidemark({"defaults", "write", "displayStyle", "null"}, env).exitCode, 2);
    EXPECT_EQ(runTidemark({"defaults", "erase"}, env).exitCode, 2);
    EXPECT_EQ(runTidemark({"defaults"}, env).exitCode, 2);
    // A rejected write changed nothing.
    EXPECT_EQ(runTidemark({"defaults", "read", "displayStyle"}, env).out, "4\n");
}

TEST(SnapshotCommand, MatchesTheReviewedOutputForTheNumberingAndNamingRules) {
    const std::string base = "tests/data/snapshot/numbering-and-names";
    const auto result = runTidemark({"snapshot", "--scenario", sourcePath(base + ".json")});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(nlohmann::json::parse(result.out),
              nlohmann::json::parse(readFile(sourcePath(base + ".expected.json"))));
}
