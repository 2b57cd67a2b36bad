// The live Wayland desktop under sway (scripts/bench-sway sets up headless sway with two
// outputs and 40 foot clients, and runs this as the session's user in its environment):
//  - one refresh in the opened-apps style through the Wayland adapters, every answer asked
//    anew as after an event that may have changed them all;
//  - from a workspace switch request to a refreshed snapshot that shows it.
// Outside a sway session every benchmark reports that it skipped.
#include "app/AppDelegate.h"
#include "platform/linux/PollMainQueue.h"
#include "platform/linux/i3/I3Ipc.h"
#include "platform/linux/wayland/WaylandPlatform.h"
#include "preferences/SettingsKeys.h"
#include "support/OpenedAppsRefresh.h"
#include "support/SwitchToSnapshot.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>

using namespace tidemark;
using linux_platform::WaylandPlatform;

namespace {

namespace i3 = linux_platform::i3;

// Outlives every session the benchmarks open.
linux_platform::PollMainQueue& benchQueue() {
    static linux_platform::PollMainQueue queue;
    return queue;
}

std::unique_ptr<WaylandPlatform> openSwaySession(benchmark::State& state) {
    const auto session = linux_platform::currentDesktopSession();
    if (session != linux_platform::DesktopSession::Sway) {
        state.SkipWithError("skipped: no sway session here (see scripts/bench-sway)");
        return nullptr;
    }
    std::string error;
    auto platform = WaylandPlatform::open(benchQueue(), session, error);
    if (!platform)
        state.SkipWithError(("skipped: " + error).c_str());
    return platform;
}

void BM_SwayOpenedAppsRefresh(benchmark::State& state) {
    auto platform = openSwaySession(state);
    if (!platform)
        return;
    std::size_t placed = 0;
    for (auto _ : state)
        placed = bench::openedAppsRefresh(*platform);
    state.counters["windows_placed"] = static_cast<double>(placed);
}
BENCHMARK(BM_SwayOpenedAppsRefresh)->Unit(benchmark::kMillisecond)->UseRealTime();

// From the sway command that switches a workspace to the refreshed snapshot.
void BM_SwayWorkspaceSwitchToSnapshot(benchmark::State& state) {
    auto platform = openSwaySession(state);
    if (!platform)
        return;
    // The opened-apps style: the most a refresh does. The observer hears the switch from the
    // workspace's notification like the app does.
    platform->settings.set(settings::kDisplayStyle, Value(4));
    auto delegate = AppDelegate::create(platform->services());
    delegate->applicationDidFinishLaunching();
    platform->startObserving();
    const std::string socket = std::getenv("SWAYSOCK");
    i3::Client commands([&]() -> std::optional<std::string> { return socket; },
                        [](const std::string& path) { return i3::Connection::open(path); });

    bench::measureSwitchToSnapshot(state, commands, benchQueue(), *delegate, "sway_command_ms");
}
BENCHMARK(BM_SwayWorkspaceSwitchToSnapshot)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(6);

} // namespace
