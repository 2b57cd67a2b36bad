#include "support/RunCommand.h"

#include <gtest/gtest.h>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace tidemark {
namespace {

nlohmann::json snapshotOf(const std::string& scenarioName) {
    const auto result = testing::runTidemark(
        {"snapshot", "--scenario", testing::sourcePath("tests/data/snapshot/" + scenarioName)});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return nlohmann::json::parse(result.out);
}

// Space id -> "name/key/pid" of each listed app.
std::map<std::string, std::vector<std::string>> appsBySpace(const nlohmann::json& snapshot) {
    std::map<std::string, std::vector<std::string>> result;
    for (const auto& space : snapshot.at("spaces")) {
        auto& apps = result[space.at("spaceID").get<std::string>()];
        for (const auto& app : space.at("apps"))
            apps.push_back(app.at("appName").get<std::string>() + "/" +
                           app.at("bundleID").get<std::string>() + "/" +
                           std::to_string(app.at("pid").get<int>()));
    }
    return result;
}

// Helpers fold into their app; hidden, accessory, prohibited apps, tiny and transparent
// windows and this program's own windows count nowhere; a sticky window counts everywhere
// but the full space; the sixth app of a space is left out.
const std::map<std::string, std::vector<std::string>> kExpected{
    {"1", {"Browser/org.example.Browser/100", "Notes/org.example.Notes/108"}},
    {"2", {"Browser Helper (Renderer)/org.example.Browser/101", "Notes/org.example.Notes/108"}},
    {"3", {"Player/org.example.Player/105", "Notes/org.example.Notes/108"}},
    {"7",
     {"Crowd 0/org.example.Crowd0/110", "Crowd 1/org.example.Crowd1/111",
      "Crowd 2/org.example.Crowd2/112", "Crowd 3/org.example.Crowd3/113",
      "Crowd 4/org.example.Crowd4/114"}},
};

TEST(SnapshotApps, EachSpaceListsTheAppsWithWindowsOnIt) {
    const auto snapshot = snapshotOf("apps-per-space.json");
    EXPECT_EQ(appsBySpace(snapshot), kExpected);
    const auto signature = snapshot.at("signature").get<std::string>();
    EXPECT_NE(signature.find("2:false:org.example.Browser+org.example.Notes"), std::string::npos)
        << signature;
}

TEST(SnapshotApps, MissingWindowServerFunctionsDegrade) {
    // Without the windows-on-spaces function there is no pre-filter; the result is the same.
    EXPECT_EQ(appsBySpace(snapshotOf("no-windows-on-spaces.json")), kExpected);
    // Without the spaces-of-windows function no space lists anything.
    for (const auto& [space, apps] : appsBySpace(snapshotOf("no-spaces-for-windows.json")))
        EXPECT_TRUE(apps.empty()) << space;
}

} // namespace
} // namespace tidemark
