#pragma once

#include "platform/scenario/Scenario.h"

#include <optional>
#include <string>

namespace tidemark::cli {

// Loads a scenario; on failure prints the one line that names file, member and reason.
std::optional<sim::Scenario> loadScenarioOrReport(const std::string& file);

} // namespace tidemark::cli
