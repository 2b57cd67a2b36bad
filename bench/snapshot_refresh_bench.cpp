// One refresh of the space snapshot in the numbers style: 8 displays x 16 spaces.
#include "app/AppDelegate.h"
#include "platform/scenario/WindowServerAnswers.h"
#include "platform/sim/SimPlatform.h"
#include "preferences/SettingsKeys.h"

#include <benchmark/benchmark.h>

using namespace tidemark;

namespace {

sim::Scenario largeDesktop() {
    sim::Scenario scenario;
    ValueArray displays;
    std::int64_t id = 1;
    for (int d = 0; d < 8; ++d) {
        ValueArray spaces;
        const std::int64_t current = id + d % 16;
        for (int s = 0; s < 16; ++s, ++id) {
            ValueDictionary space{{"ManagedSpaceID", Value(id)}};
            if (s == 15) {
                space.emplace("TileLayoutManager", Value(ValueDictionary{}));
                space.emplace("pid", Value(500 + d));
            }
            spaces.push_back(Value(std::move(space)));
        }
        displays.push_back(Value(ValueDictionary{
            {"Display Identifier", Value("Display-" + std::to_string(d))},
            {"Current Space", Value(ValueDictionary{{"ManagedSpaceID", Value(current)}})},
            {"Spaces", Value(std::move(spaces))}}));
        sim::App app;
        app.application.pid = 500 + d;
        app.application.localizedName = "Application " + std::to_string(d);
        scenario.apps.push_back(app);
    }
    scenario.displays = sim::readDisplays(Value(std::move(displays)));
    scenario.settings.emplace(settings::kDisplayStyle, Value(1));
    return scenario;
}

class NullDelegate final : public SpaceObserverDelegate {
public:
    void didUpdateSpaces(const std::vector<Space>& spaces) override {
        benchmark::DoNotOptimize(spaces.data());
    }
};

struct Bench {
    sim::SimPlatform platform{largeDesktop()};
    std::shared_ptr<SpaceObserver> observer =
        SpaceObserver::create({platform.mainQueue, platform.settings, platform.windowServer,
                               platform.workspace, platform.defaultCenter});
    std::shared_ptr<NullDelegate> delegate = std::make_shared<NullDelegate>();
    Bench() { observer->setDelegate(delegate); }
};

// A refresh whose signature is unchanged: the steady state between events.
void BM_RefreshUnchanged(benchmark::State& state) {
    Bench bench;
    bench.observer->refreshSpaces();
    for (auto _ : state)
        bench.observer->refreshSpaces();
}
BENCHMARK(BM_RefreshUnchanged)->Unit(benchmark::kMicrosecond);

// A refresh that publishes: the appearance flips every time.
void BM_RefreshPublishing(benchmark::State& state) {
    Bench bench;
    bool dark = false;
    for (auto _ : state) {
        dark = !dark;
        bench.platform.workspace.setAppearance(dark ? Appearance::Dark : Appearance::Light);
        bench.observer->refreshSpaces();
    }
}
BENCHMARK(BM_RefreshPublishing)->Unit(benchmark::kMicrosecond);

} // namespace
