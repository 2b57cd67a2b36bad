// JSON as typed on the command line (`defaults write`) or read from a scenario, into values
// and back out.
#include "FuzzCheck.h"
#include "foundation/ValueJson.h"

#include <stdexcept>

using namespace tidemark;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto json = nlohmann::json::parse(data, data + size, nullptr, false);
    if (json.is_discarded())
        return 0;
    Value value;
    try {
        value = valueFromJson(json);
    } catch (const std::invalid_argument&) {
        return 0;
    }
    // What a value prints as must read back as the same value.
    const auto printed = jsonFromValue(value).dump();
    const auto reread = nlohmann::json::parse(printed, nullptr, false);
    FUZZ_CHECK(!reread.is_discarded());
    FUZZ_CHECK(sameValue(valueFromJson(reread), value));
    return 0;
}
