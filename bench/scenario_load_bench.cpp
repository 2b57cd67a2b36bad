// Reading a scenario whose one display holds a very long list of spaces: the time grows in
// step with the list.
#include "platform/scenario/Scenario.h"

#include <benchmark/benchmark.h>
#include <string>

using namespace tidemark;

namespace {

std::string scenarioText(std::int64_t spaces) {
    std::string text = R"({"displays": [{"Display Identifier": "Main", )"
                       R"("Current Space": {"ManagedSpaceID": 1}, "Spaces": [)";
    for (std::int64_t id = 1; id <= spaces; ++id)
        text += (id == 1 ? "" : ",") + std::string(R"({"ManagedSpaceID": )") + std::to_string(id) +
                R"(, "type": 0})";
    return text + "]}]}";
}

void BM_LoadSpaces(benchmark::State& state) {
    const auto text = scenarioText(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(sim::parseScenario(text, "bench"));
    state.SetComplexityN(state.range(0));
}

} // namespace

BENCHMARK(BM_LoadSpaces)
    ->RangeMultiplier(10)
    ->Range(1000, 100'000)
    ->Arg(300'000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);
