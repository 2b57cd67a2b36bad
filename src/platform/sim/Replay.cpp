#include "platform/sim/Replay.h"

#include "app/AppDelegate.h"
#include "platform/sim/SimPlatform.h"
#include "preferences/SettingsKeys.h"

#include <cstdio>
#include <iostream>

namespace tidemark::sim {
namespace {

// The app notification's user info: the app as the workspace describes it.
ValueDictionary applicationInfo(std::int32_t pid, const std::optional<std::string>& bundleId) {
    ValueDictionary app{{"pid", Value(pid)}};
    app.emplace("bundleIdentifier", bundleId ? Value(*bundleId) : Value());
    return {{kWorkspaceApplicationKey, Value(std::move(app))}};
}

const char* workspaceNotification(EventKind kind) {
    switch (kind) {
    case EventKind::ActiveSpaceChanged:
        return kActiveSpaceDidChangeNotification;
    case EventKind::AppLaunched:
        return kDidLaunchApplicationNotification;
    case EventKind::AppHidden:
        return kDidHideApplicationNotification;
    case EventKind::AppUnhidden:
        return kDidUnhideApplicationNotification;
    case EventKind::AppActivated:
        return kDidActivateApplicationNotification;
    case EventKind::AppDeactivated:
        return kDidDeactivateApplicationNotification;
    case EventKind::AppTerminated:
        return kDidTerminateApplicationNotification;
    case EventKind::ScreensSlept:
        return kScreensDidSleepNotification;
    case EventKind::ScreensWoke:
        return kScreensDidWakeNotification;
    case EventKind::SessionResigned:
        return kSessionDidResignActiveNotification;
    case EventKind::SessionActivated:
        return kSessionDidBecomeActiveNotification;
    default:
        return nullptr;
    }
}

} // namespace

void applyEvent(const ScriptedEvent& event, SimPlatform& platform, SpaceObserver& observer) {
    auto& workspaceCenter = platform.workspace.notificationCenter();
    switch (event.kind) {
    case EventKind::AppLaunched:
    case EventKind::AppHidden:
    case EventKind::AppUnhidden:
    case EventKind::AppActivated:
    case EventKind::AppDeactivated: {
        const auto app = platform.workspace.runningApplication(event.pid);
        workspaceCenter.post(
            workspaceNotification(event.kind),
            applicationInfo(event.pid, app ? app->bundleIdentifier : std::nullopt));
        return;
    }
    case EventKind::AppTerminated:
        workspaceCenter.post(workspaceNotification(event.kind),
                             applicationInfo(event.pid, event.bundleIdentifier));
        return;
    case EventKind::ScreenParametersChanged:
        platform.defaultCenter.post(kScreenParametersDidChangeNotification);
        return;
    case EventKind::ButtonPressed:
        platform.defaultCenter.post(settings::kButtonPressedNotification);
        return;
    case EventKind::MemoryPressure:
        platform.memoryPressure.raiseWarning();
        return;
    case EventKind::RefreshRequested:
        observer.updateSpaceInformation();
        return;
    case EventKind::SetSetting:
        platform.settings.set(event.key, event.value.value_or(Value()));
        return;
    case EventKind::SetAppearance:
        platform.workspace.setAppearance(event.appearance);
        workspaceCenter.post(kEffectiveAppearanceDidChangeNotification);
        return;
    case EventKind::SetDisplays:
        platform.windowServer.setDisplays(event.value);
        return;
    case EventKind::SetWindows:
        platform.windowServer.setWindows(event.value);
        return;
    case EventKind::SetApps:
        platform.workspace.setApps(event.apps);
        return;
    case EventKind::KeyDown:
    case EventKind::KeyUp:
        platform.hotKeys.press(event.keyCode, event.modifiers, event.kind == EventKind::KeyDown);
        return;
    default:
        workspaceCenter.post(workspaceNotification(event.kind));
        return;
    }
}

std::vector<ReplayHappening> replay(Scenario scenario, const std::vector<ScriptedEvent>& events,
                                    std::optional<double> until) {
    SimPlatform platform(std::move(scenario));
    std::vector<ReplayHappening> happenings;
    auto& queue = platform.mainQueue;

    auto delegate = AppDelegate::create(platform.services());
    // Refused hot keys are reported on standard error: standard output is the timeline.
    delegate->setShortcuts(KeyBindings::ShortcutCenter::create(
        {platform.settings, platform.defaultCenter, platform.hotKeys, platform.keyboardLayout,
         [](const std::string& line) { std::cerr << line << "\n"; }}));
    auto& observer = delegate->spaceObserver();
    // A stored opened-apps style starts the timer while the observer is being built.
    if (observer.hasWindowCheckTimer())
        happenings.push_back({queue.now(), ReplayHappening::Kind::TimerStarted});
    observer.setRefreshListener([&](bool published) {
        happenings.push_back({queue.now(), ReplayHappening::Kind::Refresh, published});
    });
    observer.setTimerListener([&](bool running) {
        happenings.push_back({queue.now(), running ? ReplayHappening::Kind::TimerStarted
                                                   : ReplayHappening::Kind::TimerStopped});
    });
    delegate->applicationDidFinishLaunching();

    const double end = until.value_or((events.empty() ? 0.0 : events.back().at) + 1.0);
    for (const auto& event : events) {
        if (event.at > end)
            break;
        queue.runUntil(event.at);
        applyEvent(event, platform, observer);
        queue.runPending();
    }
    queue.runUntil(end);
    // The observer's listeners refer to this frame; drop them with it.
    observer.setRefreshListener({});
    observer.setTimerListener({});
    return happenings;
}

std::string formatHappening(const ReplayHappening& happening) {
    char at[48];
    std::snprintf(at, sizeof at, "%.3f", happening.at);
    switch (happening.kind) {
    case ReplayHappening::Kind::Refresh:
        return std::string("{\"at\": ") + at + ", \"kind\": \"refresh\", \"published\": " +
               (happening.published ? "true" : "false") + "}";
    case ReplayHappening::Kind::TimerStarted:
        return std::string("{\"at\": ") + at + ", \"kind\": \"timerStarted\"}";
    case ReplayHappening::Kind::TimerStopped:
        return std::string("{\"at\": ") + at + ", \"kind\": \"timerStopped\"}";
    }
    return {};
}

} // namespace tidemark::sim
