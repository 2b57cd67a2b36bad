#include "platform/sim/Replay.h"

#include "platform/sim/EventScript.h"
#include "support/RunCommand.h"
#include "support/TemporaryDirectory.h"
#include "support/TextFiles.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace tidemark::sim {
namespace {

namespace fs = std::filesystem;
using testing::lines;
using testing::readFile;
using testing::runTidemark;
using testing::sourcePath;

const fs::path kReplayData = fs::path(TIDEMARK_SOURCE_DIR) / "tests/data/replay";

std::vector<std::string> replayed(const Scenario& scenario,
                                  const std::vector<ScriptedEvent>& events,
                                  std::optional<double> until = std::nullopt) {
    std::vector<std::string> out;
    for (const auto& h : replay(scenario, events, until))
        out.push_back(formatHappening(h));
    return out;
}

std::vector<std::string> replayed(const Scenario& scenario, const std::string& events,
                                  std::optional<double> until = std::nullopt) {
    return replayed(scenario, parseEventScript(events, "events"), until);
}

// The error a script gives, or "no error".
std::string scriptError(const std::string& json) {
    try {
        sim::parseEventScript(json, "e.json");
    } catch (const sim::ScenarioError& e) {
        return std::string(e.what());
    }
    return std::string("no error");
}

// One kept event script: its scenario's directory, the script and its expected timeline.
struct KeptScript {
    fs::path dir;
    fs::path events;
    std::vector<std::string> expected;
    std::string label() const { return dir.filename().string() + "/" + events.filename().string(); }
};

// Each directory under `root` holds a scenario and event scripts, each with its timeline.
std::vector<KeptScript> keptScripts(const fs::path& root) {
    std::vector<KeptScript> scripts;
    for (const auto& dir : fs::directory_iterator(root))
        for (const auto& file : fs::directory_iterator(dir.path())) {
            const auto name = file.path().filename().string();
            if (!name.ends_with(".events.json"))
                continue;
            const auto stem = name.substr(0, name.size() - std::string(".events.json").size());
            scripts.push_back(
                {dir.path(), file.path(), lines(readFile(dir.path() / (stem + ".expected")))});
        }
    return scripts;
}

TEST(Replay, KeptEventScriptsGiveTheirTimelines) {
    const auto scripts = keptScripts(kReplayData);
    EXPECT_GE(scripts.size(), 8u);
    for (const auto& script : scripts) {
        ASSERT_FALSE(script.expected.empty()) << script.label();
        EXPECT_EQ(
            replayed(loadScenario(script.dir / "scenario.json"), loadEventScript(script.events)),
            script.expected)
            << script.label();
    }
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
    const char* const outOfRange =
        "e.json: member '[0].at': expected a number of seconds from 0 to 31536000 (a year)";
    const struct {
        const char* script;
        const char* expected;
    } cases[] = {
        {"{}", "e.json: member '(document)': expected an array of events"},
        {R"([{"at": 1, "event": "appHidden", "pid": 1e400}])",
         "e.json: member '[0].pid': not valid JSON: number overflow parsing '1e400'"},
        // Far in the future a half-second step no longer moves the clock: refused.
        {R"([{"at": 1e300, "event": "buttonPressed"}])", outOfRange},
        {R"([{"at": -1, "event": "buttonPressed"}])", outOfRange},
        {R"([{"at": 1, "event": "appLaunched"}])", "e.json: member '[0].pid': missing"},
        {R"([{"at": 1, "event": "refreshRequested"}, {"event": "buttonPressed"}])",
         "e.json: member '[1].at': missing"},
        {R"([{"at": 1, "event": "lidClosed"}])",
         "e.json: member '[0].event': unknown event 'lidClosed'"},
        {R"([{"at": 1, "event": "buttonPressed", "pid": 3}])",
         "e.json: member '[0].pid': not a member of buttonPressed"},
        {R"([{"at": 1, "event": "appHidden", "pid": 4294967296}])",
         "e.json: member '[0].pid': expected a 32-bit integer"},
        {R"([{"at": 1, "event": "appTerminated", "pid": 3, "bundleIdentifier": 5}])",
         "e.json: member '[0].bundleIdentifier': expected a string or null"},
        {R"([{"at": 1, "event": "setAppearance", "appearance": "blue"}])",
         "e.json: member '[0].appearance': expected \"dark\" or \"light\""},
        {R"([{"at": 1, "event": "setSetting", "value": 1}])", "e.json: member '[0].key': missing"},
        {R"([{"at": 1, "event": "setApps", "value": [{"pid": "x"}]}])",
         "e.json: member '[0].value[0].pid': expected a 32-bit integer"},
        {R"([{"at": 1, "event": "setApps", "value": 5}])",
         "e.json: member '[0].value': expected an array"},
        // Interaction events, member by member.
        {R"([{"at": 1, "event": "pointerMoved", "x": 3}])", "e.json: member '[0].y': missing"},
        {R"([{"at": 1, "event": "pointerMoved", "x": "3", "y": 1}])",
         "e.json: member '[0].x': expected a number of points"},
        {R"([{"at": 1, "event": "mouseDown", "button": "middle", "x": 1, "y": 1}])",
         "e.json: member '[0].button': expected \"left\" or \"right\""},
        {R"([{"at": 1, "event": "mouseUp", "button": "left", "x": 1, "y": 1, "modifiers": ["hyper"]}])",
         "e.json: member '[0].modifiers': unknown modifier \"hyper\" (command, shift, option, "
         "control or function)"},
        {R"([{"at": 1, "event": "scroll", "x": 1, "y": 1, "deltaY": 0.5}])",
         "e.json: member '[0].deltaY': expected a whole number of notches (32-bit)"},
        {R"([{"at": 1, "event": "popover", "action": "quitApp"}])",
         "e.json: member '[0].pid': missing"},
        {R"([{"at": 1, "event": "popover", "action": "sleep", "pid": 3}])",
         "e.json: member '[0].pid': not a member of this action"},
        {R"([{"at": 1, "event": "popover", "action": "reboot"}])",
         "e.json: member '[0].action': unknown control \"reboot\""},
        {R"([{"at": 1, "event": "alertButton", "index": 4}])",
         "e.json: member '[0].index': expected 1, 2 or 3"},
        {R"([{"at": 1, "event": "setTrusted", "value": 1}])",
         "e.json: member '[0].value': expected true or false"},
        {R"([{"at": 1, "event": "dumpModel", "pid": 1}])",
         "e.json: member '[0].pid': not a member of dumpModel"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(scriptError(c.script), c.expected) << c.script;
    EXPECT_TRUE(scriptError("[1").starts_with("e.json: member '[1]': not valid JSON"));
}

TEST(EventScript, WellFormedScriptsKeepEveryMemberInTimeOrder) {
    const auto events = parseEventScript(
        R"([{"at": 2, "event": "setDisplays", "value": null},
            {"at": 1, "event": "appTerminated", "pid": 9, "bundleIdentifier": null},
            {"at": 1, "event": "setSetting", "key": "k", "value": {"$data": "AQI="}},
            {"at": 1, "event": "mouseUp", "button": "right", "x": 2.5, "y": 4,
             "modifiers": ["command", "shift"]},
            {"at": 2, "event": "popover", "action": "clean", "pid": 701}])",
        "e.json");
    ASSERT_EQ(events.size(), 5u);
    EXPECT_EQ(events[0].kind, EventKind::AppTerminated);
    EXPECT_EQ(events[0].bundleIdentifier, std::nullopt);
    EXPECT_EQ(events[1].kind, EventKind::SetSetting);
    EXPECT_EQ(events[1].value, Value(ByteString{1, 2}));
    EXPECT_EQ(events[2].button, MouseButton::Right);
    EXPECT_EQ(events[2].point, (Point{2.5, 4}));
    EXPECT_EQ(events[2].mouseModifiers, ModifierFlags::Command | ModifierFlags::Shift);
    EXPECT_EQ(events[3].value, std::nullopt);
    EXPECT_EQ(events[4].action, PopoverAction::Clean);
    EXPECT_EQ(events[4].pid, 701);
    EXPECT_TRUE(isInteraction(events[4].kind));
}

TEST(ReplayCommand, PrintsTheTimelineAndRejectsBadInputWithExitCode2) {
    const auto dir = kReplayData / "plain";
    const auto scenario = (dir / "scenario.json").string();
    const auto throttle = (dir / "throttle.events.json").string();
    const auto ok =
        runTidemark({"replay", "--scenario", scenario, "--events", throttle, "--until", "1.2"});
    EXPECT_EQ(ok.exitCode, 0) << ok.err;
    EXPECT_EQ(lines(ok.out), (std::vector<std::string>{
                                 R"({"at": 0.000, "kind": "refresh", "published": true})",
                                 R"({"at": 1.000, "kind": "refresh", "published": false})",
                                 R"({"at": 1.100, "kind": "refresh", "published": false})"}));

    testing::TemporaryDirectory temporary;
    const auto badEvents =
        testing::writeFile(temporary.path() / "bad.events.json", R"([{"at": 1, "event": "nap"}])");
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--scenario", scenario},
             {"--scenario", scenario, "--events", "/nonexistent.json"},
             {"--scenario", scenario, "--events", badEvents},
             {"--scenario", scenario, "--events", badEvents, "--until", "soon"},
             {"--scenario", scenario, "--events", throttle, "--until", "100000000"},
             {"--scenario", scenario, "--bogus", "1"}}) {
        auto command = args;
        command.insert(command.begin(), "replay");
        const auto result = runTidemark(command);
        EXPECT_EQ(result.exitCode, 2) << args.back();
        EXPECT_EQ(result.out, "") << args.back();
        EXPECT_EQ(lines(result.err).size(), 1u) << args.back() << "\n" << result.err;
    }
}

// The headless app's scripts, through the binary.
TEST(ReplayUi, KeptEventScriptsGiveTheirTimelinesThroughTheBinary) {
    const auto scripts = keptScripts(sourcePath("tests/data/replay-ui"));
    EXPECT_GE(scripts.size(), 13u);
    for (const auto& script : scripts) {
        ASSERT_FALSE(script.expected.empty()) << script.label();
        const auto result =
            runTidemark({"replay", "--ui", "--scenario", (script.dir / "scenario.json").string(),
                         "--events", script.events.string()});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(lines(result.out), script.expected) << script.label();
    }
}

TEST(ReplayUi, InteractionEventsNeedTheFlagAndTheOtherLinesStayAsTheyWere) {
    const auto dir = fs::path(sourcePath("tests/data/replay-ui/hover"));
    const auto scenario = (dir / "scenario.json").string();
    const auto events = (dir / "dwell-and-follow.events.json").string();
    const auto refused = runTidemark({"replay", "--scenario", scenario, "--events", events});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_EQ(lines(refused.err).size(), 1u) << refused.err;
    EXPECT_NE(refused.err.find("needs --ui"), std::string::npos) << refused.err;

    // Scripts of the plain replay give the same refresh lines with the flag, plus images.
    const auto plain = fs::path(sourcePath("tests/data/replay/plain"));
    const auto plainScenario = (plain / "scenario.json").string();
    const auto plainEvents = (plain / "bursts.events.json").string();
    std::vector<std::string> refreshes;
    for (const auto& line :
         lines(runTidemark({"replay", "--ui", "--scenario", plainScenario, "--events", plainEvents})
                   .out))
        if (line.find("\"kind\": \"image\"") == std::string::npos)
            refreshes.push_back(line);
    EXPECT_EQ(
        refreshes,
        lines(runTidemark({"replay", "--scenario", plainScenario, "--events", plainEvents}).out));
}

} // namespace
} // namespace tidemark::sim
