#include "platform/sim/LayeredSettingsStore.h"

namespace tidemark::sim {
namespace {

ValueDictionary overlaid(ValueDictionary below, const ValueDictionary& above) {
    for (const auto& [key, value] : above)
        below.insert_or_assign(key, value);
    return below;
}

} // namespace

LayeredSettingsStore::LayeredSettingsStore(ValueDictionary scenarioValues, SettingsStore& above)
    : SettingsStore(overlaid(scenarioValues, above.storedValues())),
      scenarioValues_(std::move(scenarioValues)), above_(above) {
    ownChanges_ = observeChanges([this](std::string_view key) {
        if (restacking_)
            return;
        const auto& stored = storedValues();
        const auto it = stored.find(key);
        ownWrites_.insert_or_assign(
            std::string(key), it == stored.end() ? std::nullopt : std::optional<Value>(it->second));
    });
    aboveChanges_ = above_.observeChanges([this](std::string_view key) {
        if (const auto it = ownWrites_.find(key); it != ownWrites_.end())
            ownWrites_.erase(it);
        restack();
    });
}

void LayeredSettingsStore::restack() {
    ValueDictionary fresh = overlaid(scenarioValues_, above_.storedValues());
    for (const auto& [key, value] : ownWrites_) {
        if (value)
            fresh.insert_or_assign(key, *value);
        else
            fresh.erase(key);
    }
    restacking_ = true;
    adoptStoredValues(std::move(fresh));
    restacking_ = false;
}

} // namespace tidemark::sim
