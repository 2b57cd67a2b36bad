#pragma once

#include "foundation/SettingsStore.h"

#include <map>
#include <optional>
#include <string>

namespace tidemark::sim {

// A scenario's settings with another store laid over them, for a scenario run that should
// follow the real settings without writing to them: the values of `above` win over the
// scenario's, this store's own writes stay in memory, and the latest writer of a key wins.
// A change in `above` reaches this store's observers as a change of the key.
class LayeredSettingsStore final : public SettingsStore {
public:
    // `above` must outlive this store.
    LayeredSettingsStore(ValueDictionary scenarioValues, SettingsStore& above);

private:
    void restack();

    ValueDictionary scenarioValues_;
    SettingsStore& above_;
    // Keys this store wrote since `above` last changed them; nullopt for a removal.
    std::map<std::string, std::optional<Value>, std::less<>> ownWrites_;
    bool restacking_ = false;
    ObservationToken ownChanges_;
    ObservationToken aboveChanges_;
};

} // namespace tidemark::sim
