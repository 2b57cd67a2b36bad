// A scenario file: any input loads or fails with a ScenarioError, nothing else.
#include "platform/scenario/Scenario.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        (void)tidemark::sim::parseScenario(
            std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.json");
    } catch (const tidemark::sim::ScenarioError&) {
    }
    return 0;
}
