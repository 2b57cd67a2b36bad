#include "main/Commands.h"
#include "main/ScenarioLoading.h"
#include "platform/sim/Replay.h"

#include <charconv>
#include <cmath>
#include <iostream>

namespace tidemark::cli {
namespace {

std::optional<double> parseSeconds(const std::string& text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value) ||
        value < 0)
        return std::nullopt;
    return value;
}

} // namespace

int runReplay(const Arguments& args) {
    if (auto unknown = args.unknownOption({"--scenario", "--events", "--until"})) {
        std::cerr << "tidemark replay: unknown option '" << *unknown << "'\n";
        return kExitUsage;
    }
    const auto scenarioFile = args.option("--scenario");
    const auto eventsFile = args.option("--events");
    if (!scenarioFile || !eventsFile) {
        std::cerr << "tidemark replay: needs --scenario FILE and --events FILE\n";
        return kExitUsage;
    }
    std::optional<double> until;
    if (const auto text = args.option("--until")) {
        until = parseSeconds(*text);
        if (!until) {
            std::cerr << "tidemark replay: --until expects seconds, got '" << *text << "'\n";
            return kExitUsage;
        }
    }
    auto scenario = loadScenarioOrReport(*scenarioFile);
    if (!scenario)
        return kExitUsage;
    std::vector<sim::ScriptedEvent> events;
    try {
        events = sim::loadEventScript(*eventsFile);
    } catch (const sim::ScenarioError& e) {
        std::cerr << "tidemark: " << e.what() << "\n";
        return kExitUsage;
    }
    for (const auto& happening : sim::replay(std::move(*scenario), events, until))
        std::cout << sim::formatHappening(happening) << "\n";
    return kExitOk;
}

} // namespace tidemark::cli
