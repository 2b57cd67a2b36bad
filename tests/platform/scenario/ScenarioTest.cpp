#include "platform/scenario/Scenario.h"

#include <gtest/gtest.h>

using namespace tidemark;
using namespace tidemark::sim;

namespace {

std::string errorOf(const std::string& json) {
    try {
        parseScenario(json, "s.json");
    } catch (const ScenarioError& e) {
        return e.what();
    }
    return "no error";
}

} // namespace

TEST(Scenario, DefaultsForAnEmptyDocument) {
    const Scenario s = parseScenario("{}", "s.json");
    EXPECT_EQ(s.appearance, Appearance::Light);
    EXPECT_EQ(s.self.pid, 1);
    EXPECT_FALSE(s.self.bundleIdentifier);
    EXPECT_EQ(s.self.uid, 501);
    ASSERT_TRUE(s.displays && s.windows);
    EXPECT_TRUE(s.displays->empty());
    EXPECT_TRUE(s.windows->windows.empty());
    EXPECT_TRUE(s.windows->spacesKnown);
    EXPECT_TRUE(s.accessibilityTrusted);
    EXPECT_TRUE(s.memory.vmStatistics);
}

TEST(Scenario, ReadsEveryMember) {
    const Scenario s = parseScenario(R"({
      "appearance": "dark", "settings": {"displayStyle": 1},
      "self": {"pid": 40, "bundleIdentifier": "io.t", "uid": 7},
      "displays": null, "windows": "not an array",
      "spacesForWindowsAvailable": false, "windowsOnSpacesAvailable": false,
      "apps": [{"pid": 5, "activationPolicy": "accessory", "hidden": true,
                "acceptsTerminate": false}],
      "installedBundleIDs": ["a.b"],
      "processes": [{"pid": 9, "name": null, "args": "x y", "rusage": null,
                     "taskInfo": {"residentSize": 10}, "ignoresSigterm": true}],
      "memory": {"physicalMemory": 100, "pageSize": 4, "vmStatistics": null},
      "accessibilityTrusted": false})",
                                     "s.json");
    EXPECT_EQ(s.appearance, Appearance::Dark);
    EXPECT_EQ(s.settings.at("displayStyle"), Value(1));
    EXPECT_EQ(s.self.bundleIdentifier, "io.t");
    EXPECT_FALSE(s.displays);
    EXPECT_FALSE(s.windows);
    EXPECT_FALSE(s.spacesForWindowsAvailable);
    ASSERT_EQ(s.apps.size(), 1u);
    EXPECT_EQ(s.apps[0].application.activationPolicy, ActivationPolicy::Accessory);
    EXPECT_TRUE(s.apps[0].application.hidden);
    EXPECT_FALSE(s.apps[0].acceptsTerminate);
    EXPECT_TRUE(s.apps[0].acceptsForceTerminate);
    ASSERT_EQ(s.processes.size(), 1u);
    EXPECT_EQ(s.processes[0].ppid, 1);
    EXPECT_FALSE(s.processes[0].name);
    EXPECT_FALSE(s.processes[0].rusage);
    EXPECT_EQ(s.processes[0].taskInfo->residentSize, 10);
    EXPECT_TRUE(s.processes[0].ignoresSigterm);
    EXPECT_FALSE(s.memory.vmStatistics);
    EXPECT_FALSE(s.accessibilityTrusted);
}

TEST(Scenario, ErrorsNameTheFileTheMemberAndTheReason) {
    EXPECT_EQ(errorOf(R"({"displys": []})"), "s.json: member 'displys': unknown member");
    EXPECT_EQ(errorOf(R"({"apps": [{"pid": 1}, {"pid": "2"}]})"),
              "s.json: member 'apps[1].pid': expected a 32-bit integer");
    EXPECT_EQ(errorOf(R"({"apps": [{"pid": 1, "colour": 1}]})"),
              "s.json: member 'apps[0].colour': unknown member");
    EXPECT_EQ(
        errorOf(R"({"processes": [{"pid": 1, "rusage": {"physFootprint": 1.5}}]})"),
        "s.json: member 'processes[0].rusage.physFootprint': expected an integer, at least 0");
    EXPECT_EQ(errorOf(R"({"memory": {"pageSize": -16384}})"),
              "s.json: member 'memory.pageSize': expected an integer, at least 0");
    EXPECT_EQ(errorOf(R"({"apps": [{"pid": 1}, {"pid": 1e400}]})"),
              "s.json: member 'apps[1].pid': not valid JSON: number overflow parsing '1e400'");
    // Whatever a member name holds, the message stays one printable line.
    EXPECT_EQ(errorOf(R"({"a\u001b[31m\n\u0007": 1})"),
              "s.json: member 'a\\x1b[31m\\n\\x07': unknown member");
    EXPECT_EQ(errorOf(R"({"appearance": "blue"})"),
              "s.json: member 'appearance': expected \"dark\" or \"light\"");
    EXPECT_EQ(errorOf(R"({"memory": {"vmStatistics": {"wired": 1}}})"),
              "s.json: member 'memory.vmStatistics.wired': unknown member");
    EXPECT_EQ(errorOf(R"({"apps": [{"pid": 1, "activationPolicy": "sometimes"}]})"),
              "s.json: member 'apps[0].activationPolicy': expected \"regular\", \"accessory\" "
              "or \"prohibited\"");
    EXPECT_EQ(errorOf(R"({"self": {"pid": 4294967296}})"),
              "s.json: member 'self.pid': expected a 32-bit integer");
    EXPECT_EQ(errorOf("[1]"), "s.json: member '(document)': expected an object");
    EXPECT_NE(errorOf("{").find("s.json: member '(document)': not valid JSON"), std::string::npos);
    EXPECT_EQ(errorOf(R"({"settings": {"k": {"$data": "!!"}}})"),
              "s.json: member '(document)': \"$data\" is not valid base64");
}
