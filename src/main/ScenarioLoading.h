#pragma once

#include "foundation/MainQueue.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/scenario/Scenario.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tidemark::cli {

// Loads a scenario; on failure prints the one line that names file, member and reason.
std::optional<sim::Scenario> loadScenarioOrReport(const std::string& file);

// Opens the live desktop on `mainQueue`; without an X server prints "tidemark COMMAND: ..."
// and gives nothing.
std::unique_ptr<linux_platform::LinuxPlatform>
openLiveDesktopOrReport(MainQueue& mainQueue, std::string_view command,
                        linux_platform::LinuxPlatform::Lifetime lifetime);

} // namespace tidemark::cli
