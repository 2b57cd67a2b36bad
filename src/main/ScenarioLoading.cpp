#include "main/ScenarioLoading.h"

#include <iostream>

namespace tidemark::cli {

std::optional<sim::Scenario> loadScenarioOrReport(const std::string& file) {
    try {
        return sim::loadScenario(file);
    } catch (const sim::ScenarioError& e) {
        std::cerr << "tidemark: " << e.what() << "\n";
        return std::nullopt;
    }
}

std::unique_ptr<linux_platform::LinuxPlatform>
openLiveDesktopOrReport(MainQueue& mainQueue, std::string_view command,
                        linux_platform::LinuxPlatform::Lifetime lifetime) {
    std::string error;
    auto platform = linux_platform::LinuxPlatform::open(mainQueue, error, {}, lifetime);
    if (!platform)
        std::cerr << "tidemark " << command << ": " << error << "\n";
    return platform;
}

} // namespace tidemark::cli
