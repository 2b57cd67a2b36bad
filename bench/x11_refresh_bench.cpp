// The live X11 desktop under i3 (scripts/bench-x11 sets up Xvfb, i3 and 40 clients):
//  - one refresh in the opened-apps style through the X11 adapters, as the mapper reads them,
//    asking every answer, and as the running app makes it after a window event;
//  - `wmctrl -lp` on the same session, the peer that asks one round trip per window;
//  - from a workspace switch request to a refreshed snapshot that shows it.
// Without an X display running i3 every benchmark reports that it skipped.
#include "app/AppDelegate.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/PollMainQueue.h"
#include "preferences/SettingsKeys.h"
#include "support/OpenedAppsRefresh.h"
#include "support/SwitchToSnapshot.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <set>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

using namespace tidemark;
using linux_platform::X11WindowServer;

namespace {

// Outlives every session the benchmarks open.
linux_platform::PollMainQueue& benchQueue() {
    static linux_platform::PollMainQueue queue;
    return queue;
}

std::unique_ptr<linux_platform::LinuxPlatform> openI3Session(benchmark::State& state) {
    std::string error;
    auto platform = linux_platform::LinuxPlatform::open(benchQueue(), error);
    if (!platform) {
        state.SkipWithError(("skipped: " + error).c_str());
        return nullptr;
    }
    if (platform->windowServer.mode() != X11WindowServer::Mode::I3) {
        state.SkipWithError("skipped: the X display runs no i3 (see scripts/bench-x11)");
        return nullptr;
    }
    return platform;
}

void BM_OpenedAppsRefresh(benchmark::State& state) {
    auto platform = openI3Session(state);
    if (!platform)
        return;
    std::size_t placed = 0;
    for (auto _ : state)
        placed = bench::openedAppsRefresh(*platform);
    state.counters["windows_placed"] = static_cast<double>(placed);
}
BENCHMARK(BM_OpenedAppsRefresh)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same, as the running app makes it: the adapters follow the desktop's events, and each
// refresh comes after an i3 window event about the first listed window with an X event naming
// it (its size changed), as a window toggled floating or moved to another workspace brings:
// the stacking list goes out with that window's facts. A `floating` event is followed into
// the kept tree; a `move` does not say where to, so i3's tree (47 kB here) is asked again.
void followedRefresh(benchmark::State& state, const std::string& change) {
    auto platform = openI3Session(state);
    if (!platform)
        return;
    platform->startObserving();
    const auto listed = platform->windowServer.windows();
    if (listed->windows.empty() || !listed->windows.front().number) {
        state.SkipWithError("skipped: no window is listed");
        return;
    }
    const auto window = *listed->windows.front().number;
    // i3 4.22's event, cut to the members read and a few beside them.
    const auto payload = R"({"change":")" + change +
                         R"(","container":{"id":1,"type":"con","name":"xlogo","window":)" +
                         std::to_string(window) +
                         R"(,"fullscreen_mode":0,"floating":"user_on","nodes":[]}})";
    linux_platform::desktop::EventTurn turn{.fromX = true,
                                            .fromI3 = true,
                                            .i3TreeChanges = {},
                                            .i3WorkspaceFocus = {},
                                            .i3WorkspacesMayHaveChanged = false,
                                            .i3OutputsMayHaveChanged = false,
                                            .changedWindows = {std::uint32_t(window)},
                                            .stackingChanged = false};
    const auto read =
        linux_platform::desktop::readI3TreeChange(linux_platform::i3::EventType::Window, payload);
    if (read.kind != linux_platform::desktop::I3TreeChange::Kind::None)
        turn.i3TreeChanges.push_back(read);
    std::size_t placed = 0;
    for (auto _ : state) {
        platform->windowServer.desktopChanged(turn);
        placed = bench::openedAppsRefresh(*platform);
    }
    state.counters["windows_placed"] = static_cast<double>(placed);
}

void BM_FollowedOpenedAppsRefresh(benchmark::State& state) {
    followedRefresh(state, "floating");
}
BENCHMARK(BM_FollowedOpenedAppsRefresh)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MovedOpenedAppsRefresh(benchmark::State& state) {
    followedRefresh(state, "move");
}
BENCHMARK(BM_MovedOpenedAppsRefresh)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole refresh of the space observer in the opened-apps style (the mapper included).
void BM_ObserverRefreshOpenedApps(benchmark::State& state) {
    auto platform = openI3Session(state);
    if (!platform)
        return;
    platform->settings.set(settings::kDisplayStyle, Value(4));
    auto delegate = AppDelegate::create(platform->services());
    delegate->applicationDidFinishLaunching();
    for (auto _ : state)
        delegate->spaceObserver().refreshSpaces();
}
BENCHMARK(BM_ObserverRefreshOpenedApps)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WmctrlList(benchmark::State& state) {
    auto platform = openI3Session(state);
    if (!platform)
        return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    char wmctrl[] = "wmctrl";
    char list[] = "-lp";
    char* argv[] = {wmctrl, list, nullptr};
    for (auto _ : state) {
        pid_t pid = 0;
        if (posix_spawnp(&pid, "wmctrl", &actions, nullptr, argv, environ) != 0) {
            state.SkipWithError("wmctrl is not installed");
            break;
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
    }
    posix_spawn_file_actions_destroy(&actions);
}
BENCHMARK(BM_WmctrlList)->Unit(benchmark::kMillisecond)->UseRealTime();

// From the i3 command that switches a workspace to the refreshed snapshot.
void BM_WorkspaceSwitchToSnapshot(benchmark::State& state) {
    auto platform = openI3Session(state);
    if (!platform)
        return;
    // The opened-apps style: the most a refresh does. The observer hears the switch from the
    // workspace's notification like the app does.
    platform->settings.set(settings::kDisplayStyle, Value(4));
    auto delegate = AppDelegate::create(platform->services());
    delegate->applicationDidFinishLaunching();
    platform->startObserving();
    linux_platform::i3::Client commands([&] { return platform->x->i3SocketPath(); });
    bench::measureSwitchToSnapshot(state, commands, benchQueue(), *delegate, "i3_command_ms");
}
BENCHMARK(BM_WorkspaceSwitchToSnapshot)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(6);

} // namespace
