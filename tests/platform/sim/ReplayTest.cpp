#include "platform/sim/Replay.h"

#include "platform/sim/EventScript.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace tidemark::sim {
namespace {

namespace fs = std::filesystem;

const fs::path kReplayData = fs::path(TIDEMARK_SOURCE_DIR) / "tests/data/replay";

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

std::string readFile(const fs::path& file) {
    std::ifstream in(file);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> replayed(const Scenario& scenario, const std::string& events,
                                  std::optional<double> until = std::nullopt) {
    std::vector<std::string> out;
    for (const auto& h : replay(scenario, parseEventScript(events, "events"), until))
        out.push_back(formatHappening(h));
    return out;
}

// Each directory holds a scenario and event scripts, each with its expected timeline.
TEST(Replay, KeptEventScriptsGiveTheirTimelines) {
    int scripts = 0;
    for (const auto& dir : fs::directory_iterator(kReplayData)) {
        const auto scenario = loadScenario(dir.path() / "scenario.json");
        for (const auto& file : fs::directory_iterator(dir.path())) {
            const auto name = file.path().filename().string();
            if (!name.ends_with(".events.json"))
                continue;
            const auto stem = name.substr(0, name.size() - std::string(".events.json").size());
            const auto expected = lines(readFile(dir.path() / (stem + ".expected")));
            ASSERT_FALSE(expected.empty()) << name;
            std::vector<std::string> actual;
            for (const auto& h : replay(scenario, loadEventScript(file.path())))
                actual.push_back(formatHappening(h));
            EXPECT_EQ(actual, expected) << dir.path().filename().string() << "/" << name;
            ++scripts;
        }
    }
    EXPECT_GE(scripts, 8);
}

TEST(Replay, LaunchesAtZeroAndRunsToOneSecondAfterTheLastEventOrTheGivenEnd) {
    const auto scenario = loadScenario(kReplayData / "plain/scenario.json");
    EXPECT_EQ(replayed(scenario, "[]"),
              std::vector<std::string>{R"({"at": 0.000, "kind": "refresh", "published": true})"});
    // Events after the end are not applied.
    EXPECT_EQ(
        replayed(scenario,
                 R"([{"at": 0.25, "event": "refreshRequested"},
                           {"at": 3, "event": "refreshRequested"}])",
                 0.5),
        (std::vector<std::string>{R"({"at": 0.000, "kind": "refresh", "published": true})",
                                  R"({"at": 0.250, "kind": "refresh", "published": false})"}));
    // Events are applied in time order, equal times in script order: the style changes
    // before the button press reads it.
    const auto timeline = replayed(scenario, R"([{"at": 0.5, "event": "buttonPressed"},
        {"at": 0.2, "event": "setSetting", "key": "displayStyle", "value": 4},
        {"at": 0.2, "event": "buttonPressed"}])");
    ASSERT_GE(timeline.size(), 3u);
    EXPECT_EQ(timeline[1], R"({"at": 0.200, "kind": "timerStarted"})");
    EXPECT_EQ(timeline[2], R"({"at": 0.200, "kind": "refresh", "published": true})");
}

TEST(EventScript, MalformedScriptsNameTheMemberAndTheReason) {
    const auto error = [](const std::string& json) {
        try {
            parseEventScript(json, "e.json");
        } catch (const ScenarioError& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(error("{}"), "e.json: member '(document)': expected an array of events");
    EXPECT_TRUE(error("[1").starts_with("e.json: member '(document)': not valid JSON"));
    EXPECT_EQ(error(R"([{"at": 1, "event": "appLaunched"}])"), "e.json: member '[0].pid': missing");
    EXPECT_EQ(error(R"([{"at": 1, "event": "refreshRequested"}, {"event": "buttonPressed"}])"),
              "e.json: member '[1].at': missing");
    EXPECT_EQ(error(R"([{"at": -1, "event": "buttonPressed"}])"),
              "e.json: member '[0].at': expected a number of seconds, at least 0");
    EXPECT_EQ(error(R"([{"at": 1, "event": "lidClosed"}])"),
              "e.json: member '[0].event': unknown event 'lidClosed'");
    EXPECT_EQ(error(R"([{"at": 1, "event": "buttonPressed", "pid": 3}])"),
              "e.json: member '[0].pid': not a member of buttonPressed");
    EXPECT_EQ(error(R"([{"at": 1, "event": "appHidden", "pid": 4294967296}])"),
              "e.json: member '[0].pid': expected a 32-bit integer");
    EXPECT_EQ(error(R"([{"at": 1, "event": "appTerminated", "pid": 3, "bundleIdentifier": 5}])"),
              "e.json: member '[0].bundleIdentifier': expected a string or null");
    EXPECT_EQ(error(R"([{"at": 1, "event": "setAppearance", "appearance": "blue"}])"),
              "e.json: member '[0].appearance': expected \"dark\" or \"light\"");
    EXPECT_EQ(error(R"([{"at": 1, "event": "setSetting", "value": 1}])"),
              "e.json: member '[0].key': missing");
    EXPECT_EQ(error(R"([{"at": 1, "event": "setApps", "value": [{"pid": "x"}]}])"),
              "e.json: member '[0].value[0].pid': expected a 32-bit integer");
    EXPECT_EQ(error(R"([{"at": 1, "event": "setApps", "value": 5}])"),
              "e.json: member '[0].value': expected an array");

    const auto events = parseEventScript(
        R"([{"at": 2, "event": "setDisplays", "value": null},
            {"at": 1, "event": "appTerminated", "pid": 9, "bundleIdentifier": null},
            {"at": 1, "event": "setSetting", "key": "k", "value": {"$data": "AQI="}}])",
        "e.json");
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].kind, EventKind::AppTerminated);
    EXPECT_EQ(events[0].bundleIdentifier, std::nullopt);
    EXPECT_EQ(events[1].kind, EventKind::SetSetting);
    EXPECT_EQ(events[1].value, Value(ByteString{1, 2}));
    EXPECT_EQ(events[2].value, std::nullopt);
}

struct CommandResult {
    int exitCode;
    std::string out;
};

CommandResult runTidemark(const std::string& arguments) {
    const std::string command = std::string(TIDEMARK_BINARY) + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    std::array<char, 4096> buffer;
    while (const auto n = fread(buffer.data(), 1, buffer.size(), pipe))
        out.append(buffer.data(), n);
    const int status = pclose(pipe);
    return {WEXITSTATUS(status), out};
}

TEST(ReplayCommand, PrintsTheTimelineAndRejectsBadInputWithExitCode2) {
    const auto dir = kReplayData / "plain";
    const auto ok =
        runTidemark("replay --scenario " + (dir / "scenario.json").string() + " --events " +
                    (dir / "throttle.events.json").string() + " --until 1.2");
    EXPECT_EQ(ok.exitCode, 0);
    EXPECT_EQ(lines(ok.out), (std::vector<std::string>{
                                 R"({"at": 0.000, "kind": "refresh", "published": true})",
                                 R"({"at": 1.000, "kind": "refresh", "published": false})",
                                 R"({"at": 1.100, "kind": "refresh", "published": false})"}));

    const auto scenario = (dir / "scenario.json").string();
    const auto badEvents = fs::temp_directory_path() / "tidemark-bad-events.json";
    std::ofstream(badEvents) << R"([{"at": 1, "event": "nap"}])";
    for (const auto& args :
         {"replay --scenario " + scenario,
          "replay --scenario " + scenario + " --events /nonexistent.json",
          "replay --scenario " + scenario + " --events " + badEvents.string(),
          "replay --scenario " + scenario + " --events " + badEvents.string() + " --until soon",
          "replay --scenario " + scenario + " --bogus 1"}) {
        const auto result = runTidemark(args);
        EXPECT_EQ(result.exitCode, 2) << args;
        EXPECT_EQ(lines(result.out).size(), 1u) << args << "\n" << result.out;
    }
    fs::remove(badEvents);
}

} // namespace
} // namespace tidemark::sim
