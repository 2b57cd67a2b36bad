#pragma once

#include "platform/scenario/Scenario.h"

#include <filesystem>
#include <functional>

class QImage;

namespace tidemark::cli {

// The hover panel of the scenario in each of its states and both appearances, driven through
// the status bar and the popover model of the sim platform; each picture goes to `save`
// under its file name ("popover-<state>-<appearance>.png"). False when a save failed.
bool renderPopovers(const sim::Scenario& scenario, double scale,
                    const std::function<bool(const QImage&, const std::string&)>& save);

} // namespace tidemark::cli
