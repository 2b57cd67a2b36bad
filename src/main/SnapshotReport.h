#pragma once

#include "foundation/SettingsStore.h"
#include "spaces/Space.h"

#include <nlohmann/json.hpp>
#include <vector>

namespace tidemark::cli {

// The JSON of one snapshot: {"published", "signature", "spaces", "storedSpaceNames"}.
nlohmann::ordered_json snapshotReport(bool published, const std::string& signature,
                                      const std::vector<Space>& spaces,
                                      const SettingsStore& settings);

} // namespace tidemark::cli
