// A replay event script: any input loads or fails with a ScenarioError, nothing else.
#include "platform/sim/EventScript.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        (void)tidemark::sim::parseEventScript(
            std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.json");
    } catch (const tidemark::sim::ScenarioError&) {
    }
    return 0;
}
