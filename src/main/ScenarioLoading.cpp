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

} // namespace tidemark::cli
