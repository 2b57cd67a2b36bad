#include "popover/PopoverWorld.h"
#include "support/ForwardingKernel.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tidemark::testing {
namespace {

using ::testing::ElementsAreArray;

// Every request the simulated system received, in order, undelivered ones included.
std::vector<std::string> everyRequest(const sim::SimPlatform& platform) {
    std::vector<std::string> lines;
    for (const auto& a : platform.actions.actions()) {
        switch (a.kind) {
        case sim::SimAction::Kind::QuitRequest:
            lines.push_back((a.force ? "force " : "quit ") + std::to_string(a.pid) +
                            (a.delivered ? "" : " refused"));
            break;
        case sim::SimAction::Kind::Signal:
            lines.push_back("signal " + std::to_string(a.signal) + " " + std::to_string(a.pid) +
                            (a.delivered ? "" : " refused"));
            break;
        case sim::SimAction::Kind::SleepTool:
            lines.push_back(a.delivered ? "tool" : "tool missing");
            break;
        case sim::SimAction::Kind::SleepService:
            lines.push_back(a.delivered ? "service" : "service unreachable");
            break;
        case sim::SimAction::Kind::Script:
            lines.push_back("script " + a.script);
            break;
        case sim::SimAction::Kind::MoveRequest:
            lines.push_back("move " + std::to_string(a.pid) + " " + std::to_string(a.spaceID));
            break;
        }
    }
    return lines;
}

TEST(AppActions, QuitStagesStopAtTheFirstDeliveredRequest) {
    struct Case {
        const char* name;
        Json app;     // merged into the app entry of pid 300
        Json process; // merged into its process entry
        std::optional<ScriptOutcome> quitScript;
        std::vector<std::string> expected;
        bool hasProcess = true;
    };
    const std::string script = R"(script tell application id "org.example.App" to quit)";
    const Json refusing = {{"acceptsTerminate", false}, {"acceptsForceTerminate", false}};
    const std::string term = "signal 15 300";
    const std::vector<std::string> refused{"quit 300 refused", "force 300 refused"};
    const auto then = [&](std::vector<std::string> more) {
        more.insert(more.begin(), refused.begin(), refused.end());
        return more;
    };
    auto anonymous = refusing, hostile = refusing;
    anonymous["bundleIdentifier"] = nullptr;
    hostile["bundleIdentifier"] = "x\" to quit\ndo shell script \"rm -rf ~";
    const std::vector<Case> cases{
        {"polite quit accepted", {}, {}, {}, {"quit 300"}},
        {"forced quit", {{"acceptsTerminate", false}}, {}, {}, {"quit 300 refused", "force 300"}},
        {"script quits it", refusing, {}, ScriptOutcome::Succeeded, then({script})},
        {"script fails: SIGTERM", refusing, {}, ScriptOutcome::Failed, then({script, term})},
        {"no identifier: straight to signals", anonymous, {}, {}, then({term})},
        {"identifier that would change the script", hostile, {}, {}, then({term})},
        // Ignoring SIGTERM is not punished with SIGKILL.
        {"SIGTERM ignored", refusing, {{"ignoresSigterm", true}}, {}, then({script, term})},
        {"Finder by identifier", {{"bundleIdentifier", "com.apple.Finder"}}, {}, {}, {}},
        {"Finder by name", {{"localizedName", "FINDER"}}, {}, {}, {}},
        {"another user's app", {}, {{"uid", 0}}, {}, {}},
        // The builder starts process 300 at 1300.
        {"windows seen with this process", {{"seenOwnerStartTime", 1300}}, {}, {}, {"quit 300"}},
        {"pid passed on since the windows were seen", {{"seenOwnerStartTime", 7}}, {}, {}, {}},
        {"owner ended before the windows were seen", {{"seenOwnerStartTime", nullptr}}, {}, {}, {}},
        {"a window names a thread", {}, {{"threadOf", 40}}, {}, {}},
        {"already gone", {}, {}, {}, {}, false},
    };
    for (const auto& c : cases) {
        ScenarioBuilder builder;
        builder.app(300, "org.example.App", "App");
        for (auto& [key, value] : c.app.items())
            builder.root["apps"][0][key] = value;
        if (c.hasProcess)
            builder.process(300, 1, "App", c.process);
        sim::SimPlatform platform(builder.build());
        if (c.quitScript)
            platform.scripts.setOutcome(script.substr(7), *c.quitScript);

        platform.appActions.terminateApp(300);
        EXPECT_THAT(everyRequest(platform), ElementsAreArray(c.expected)) << c.name;
    }
}

// The sim kernel, where SIGTERM never gets through; in its place the world may change.
class RefusingTerminationKernel final : public ForwardingKernel {
public:
    using ForwardingKernel::ForwardingKernel;
    std::function<void()> onTerminate;
    bool sendSignal(std::int32_t pid, Signal signal) override {
        if (signal != Signal::Terminate)
            return ForwardingKernel::sendSignal(pid, signal);
        if (onTerminate)
            onTerminate();
        return false;
    }
};

TEST(AppActions, TheForcedSignalGoesOnlyToTheProcessThatRefusedSigterm) {
    struct Case {
        const char* name;
        std::function<void(sim::SimKernel&)> betweenSignals;
        std::vector<std::string> expected;
    };
    const std::string quit = "quit 300 refused", force = "force 300 refused";
    const std::vector<Case> cases{
        {"still the same process", {}, {quit, force, "signal 9 300"}},
        {"the pid changed hands",
         [](sim::SimKernel& kernel) {
             sim::Process successor;
             successor.pid = 300;
             successor.name = "innocent";
             successor.startTime = 5;
             successor.uid = 501;
             kernel.addProcess(successor);
         },
         {quit, force}},
        {"the process ended",
         [](sim::SimKernel& kernel) { kernel.removeProcess(300); },
         {quit, force}},
    };
    for (const auto& c : cases) {
        ScenarioBuilder builder;
        // No identifier and no quit accepted: straight to the signals.
        builder.app(300, std::nullopt, "App").process(300, 1, "App");
        builder.root["apps"][0]["acceptsTerminate"] = false;
        builder.root["apps"][0]["acceptsForceTerminate"] = false;
        sim::SimPlatform platform(builder.build());
        RefusingTerminationKernel kernel(platform.kernel);
        if (c.betweenSignals)
            kernel.onTerminate = [&] { c.betweenSignals(platform.kernel); };
        AppActions actions(platform.workspace, kernel, platform.scripts, platform.power);

        actions.terminateApp(300);
        EXPECT_THAT(everyRequest(platform), ElementsAreArray(c.expected)) << c.name;
    }
}

TEST(AppActions, PlainProcessesAreSignalledAndOthersRefused) {
    ScenarioBuilder builder;
    builder.process(301, 1, "worker")
        .process(302, 1, "rootd", {{"uid", 0}})
        .process(304, 1, "worker", {{"threadOf", 301}});
    sim::SimPlatform platform(builder.build());

    EXPECT_EQ(platform.appActions.checkQuitTarget(301), QuitTarget::Allowed);
    EXPECT_EQ(platform.appActions.checkQuitTarget(302), QuitTarget::Refused);
    EXPECT_EQ(platform.appActions.checkQuitTarget(303), QuitTarget::Gone);
    EXPECT_EQ(platform.appActions.checkQuitTarget(40), QuitTarget::Refused);
    EXPECT_EQ(platform.appActions.checkQuitTarget(304), QuitTarget::Refused);
    EXPECT_EQ(platform.appActions.checkQuitTarget(1), QuitTarget::Refused);
    EXPECT_EQ(platform.appActions.checkQuitTarget(0), QuitTarget::Refused);
    for (const std::int32_t pid : {304, 301, 302, 303, 40, 1, 0})
        platform.appActions.terminateApp(pid);
    EXPECT_THAT(everyRequest(platform), ElementsAreArray({"signal 15 301"}));
}

TEST(AppActions, QuitScriptsNameOnlyPlainIdentifiers) {
    EXPECT_EQ(quitScriptSource("com.example.App-2_b"),
              R"(tell application id "com.example.App-2_b" to quit)");
    for (const char* hostile : {"", "a\"b", "a\\\"b", "a b", "a\nb", "caf\xc3\xa9", "a;b"})
        EXPECT_FALSE(quitScriptSource(hostile)) << hostile;
}

TEST(AppActions, SleepTriesEachStageUntilOneAccepts) {
    struct Case {
        const char* name;
        std::optional<int> toolStatus;
        PowerServiceAnswer service;
        std::optional<ScriptOutcome> systemEvents;
        std::optional<ScriptOutcome> finder;
        SleepOutcome outcome;
        std::vector<std::string> expected;
    };
    const std::string systemEvents = R"(tell application "System Events" to sleep)";
    const std::string finder = R"(tell application "Finder" to sleep)";
    using P = PowerServiceAnswer;
    using S = ScriptOutcome;
    using enum SleepOutcome;
    const std::vector<Case> cases{
        {"tool accepts", 0, P::Accepted, {}, {}, Requested, {"tool"}},
        {"tool missing", std::nullopt, P::Accepted, {}, {}, Requested, {"tool missing", "service"}},
        {"tool exits 1", 1, P::Accepted, {}, {}, Requested, {"tool", "service"}},
        {"service refuses, System Events sleeps",
         1,
         P::Refused,
         S::Succeeded,
         {},
         Requested,
         {"tool", "service", "script " + systemEvents}},
        {"no service, no scripting",
         1,
         P::NoConnection,
         {},
         {},
         Failed,
         {"tool", "service unreachable", "script " + systemEvents}},
        {"System Events fails, Finder sleeps",
         1,
         P::Refused,
         S::Failed,
         S::Succeeded,
         Requested,
         {"tool", "service", "script " + systemEvents, "script " + finder}},
        {"everything fails",
         1,
         P::Refused,
         S::Failed,
         S::Failed,
         Failed,
         {"tool", "service", "script " + systemEvents, "script " + finder}},
    };
    for (const auto& c : cases) {
        sim::SimPlatform platform(ScenarioBuilder().build());
        platform.power.setSleepToolStatus(c.toolStatus);
        platform.power.setServiceAnswer(c.service);
        if (c.systemEvents)
            platform.scripts.setOutcome(systemEvents, *c.systemEvents);
        if (c.finder)
            platform.scripts.setOutcome(finder, *c.finder);
        EXPECT_EQ(platform.appActions.performSystemSleep(), c.outcome) << c.name;
        EXPECT_THAT(everyRequest(platform), ElementsAreArray(c.expected)) << c.name;
    }
}

} // namespace
} // namespace tidemark::testing
