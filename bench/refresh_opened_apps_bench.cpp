// One refresh in the opened-apps style on a large desktop: 4 displays x 8 spaces, 400
// windows of 80 apps, icons already cached. The window check runs this every half second.
#include "app/AppDelegate.h"
#include "platform/sim/SimPlatform.h"

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>
#include <unordered_map>

namespace tidemark {
namespace {

constexpr int kDisplays = 4;
constexpr int kSpacesPerDisplay = 8;
constexpr int kApps = 80;
constexpr int kWindows = 400;

int spaceIdOf(int index) {
    return 100 + index;
}

enum class AppMix {
    // 40 regular apps, 20 of their helper processes, 10 accessory and 10 hidden apps: at
    // most 40 keys are listed, so every icon stays cached.
    Typical,
    // 80 regular apps, each listed: more keys than the cache keeps, so every pass reloads
    // and rescales the icons the previous pass evicted.
    AllRegular,
};

// Each app keeps its windows on one space (a few apps per space, so the walk never stops
// early); every tenth app also has a window on a second space. Windows are interleaved
// front to back; a few are tiny or in another layer.
std::string largeDesktop(AppMix mix) {
    nlohmann::json displays = nlohmann::json::array();
    for (int d = 0; d < kDisplays; ++d) {
        nlohmann::json spaces = nlohmann::json::array();
        for (int s = 0; s < kSpacesPerDisplay; ++s)
            spaces.push_back({{"ManagedSpaceID", spaceIdOf(d * kSpacesPerDisplay + s)}});
        displays.push_back(
            {{"Display Identifier", "Display " + std::to_string(d)},
             {"Current Space", {{"ManagedSpaceID", spaceIdOf(d * kSpacesPerDisplay)}}},
             {"Spaces", spaces}});
    }
    const int spaceCount = kDisplays * kSpacesPerDisplay;
    nlohmann::json apps = nlohmann::json::array();
    for (int a = 0; a < kApps; ++a) {
        const bool typical = mix == AppMix::Typical;
        const int base = typical && a >= 40 && a < 60 ? a - 40 : a;
        std::string bundle = "org.example.App" + std::to_string(base);
        if (base != a)
            bundle += ".helper (Renderer)";
        nlohmann::json app{{"pid", 1000 + a},
                           {"bundleIdentifier", bundle},
                           {"localizedName", "App " + std::to_string(a)},
                           {"bundlePath", "/Applications/App" + std::to_string(base) + ".app"}};
        if (typical && a >= 60 && a < 70)
            app["activationPolicy"] = "accessory";
        if (typical && a >= 70)
            app["hidden"] = true;
        apps.push_back(app);
    }
    nlohmann::json windows = nlohmann::json::array();
    for (int w = 0; w < kWindows; ++w) {
        const int app = w % kApps;
        nlohmann::json spaces = {spaceIdOf(app % spaceCount)};
        if (app % 10 == 0)
            spaces.push_back(spaceIdOf((app + 5) % spaceCount));
        const bool tiny = w % 37 == 0;
        windows.push_back(
            {{"kCGWindowLayer", w % 53 == 0 ? 25 : 0},
             {"kCGWindowAlpha", 1.0},
             {"kCGWindowBounds", {{"X", 0}, {"Y", 0}, {"Width", tiny ? 20 : 900}, {"Height", 700}}},
             {"kCGWindowNumber", 5000 + w},
             {"kCGWindowOwnerPID", 1000 + app},
             {"kCGWindowIsOnscreen", true},
             {"spaces", spaces}});
    }
    return nlohmann::json{{"settings", {{"displayStyle", 4}}},
                          {"displays", displays},
                          {"windows", windows},
                          {"apps", apps}}
        .dump();
}

void runWarmRefreshes(benchmark::State& state, sim::SimPlatform& platform,
                      WindowServer& windowServer) {
    SpaceObserverServices services{platform.mainQueue, platform.settings, windowServer,
                                   platform.workspace, platform.defaultCenter};
    auto delegate = AppDelegate::create(services);
    delegate->applicationDidFinishLaunching(); // fills the icon cache
    auto& observer = delegate->spaceObserver();
    std::size_t listed = 0;
    for (const auto& space : delegate->latestSpaces())
        listed += space.appDetails.size();
    for (auto _ : state)
        observer.refreshSpaces();
    state.counters["spaces"] = double(delegate->latestSpaces().size());
    state.counters["appsListed"] = double(listed);
    state.counters["cachedIcons"] = double(observer.windowSpaceMapper().iconCacheSize());
}

void BM_RefreshOpenedApps(benchmark::State& state) {
    sim::SimPlatform platform(sim::parseScenario(largeDesktop(AppMix::Typical), "bench"));
    runWarmRefreshes(state, platform, platform.windowServer);
}
BENCHMARK(BM_RefreshOpenedApps)->Unit(benchmark::kMicrosecond);

// More listed apps than cached icons: the cost of the reloads the bound forces.
void BM_RefreshOpenedAppsOverfullCache(benchmark::State& state) {
    sim::SimPlatform platform(sim::parseScenario(largeDesktop(AppMix::AllRegular), "bench"));
    runWarmRefreshes(state, platform, platform.windowServer);
}
BENCHMARK(BM_RefreshOpenedAppsOverfullCache)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace tidemark

namespace tidemark {
namespace {

// What the ports alone cost per refresh: handing over the window list and the running apps.
void BM_PortAnswersOnly(benchmark::State& state) {
    sim::SimPlatform platform(sim::parseScenario(largeDesktop(AppMix::Typical), "bench"));
    auto& windowServer = platform.windowServer;
    for (auto _ : state) {
        auto windows = windowServer.windows();
        auto displays = windowServer.displays();
        auto apps = platform.workspace.runningApplications();
        benchmark::DoNotOptimize(windows);
        benchmark::DoNotOptimize(displays);
        benchmark::DoNotOptimize(apps);
    }
}
BENCHMARK(BM_PortAnswersOnly)->Unit(benchmark::kMicrosecond);

// The mapper's share of the refresh, port answers included.
void BM_MapperOnly(benchmark::State& state) {
    sim::SimPlatform platform(sim::parseScenario(largeDesktop(AppMix::Typical), "bench"));
    WindowSpaceMapper mapper(platform.windowServer, platform.workspace);
    std::vector<std::string> ids;
    for (int i = 0; i < kDisplays * kSpacesPerDisplay; ++i)
        ids.push_back(std::to_string(spaceIdOf(i)));
    mapper.mapAppsToSpaces(ids);
    for (auto _ : state)
        benchmark::DoNotOptimize(mapper.mapAppsToSpaces(ids));
}
BENCHMARK(BM_MapperOnly)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace tidemark
