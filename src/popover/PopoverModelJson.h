#pragma once

#include "popover/SpacePopoverViewModel.h"

#include <nlohmann/json.hpp>

namespace tidemark {

// The model's published fields as one flat object: "spaceID", "apps", "appMemory",
// "otherApps", "otherAppMemory", "systemMemory" ({"used", "appMemory"} or null),
// "showResidualList", "isScanning", "residual", "lastCleanedCount", "lastCleanedMemory".
// Apps and residual processes are listed by pid; map keys are pids written as text.
nlohmann::ordered_json popoverModelFields(const SpacePopoverViewModel& model);

} // namespace tidemark
