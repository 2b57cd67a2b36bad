#include "foundation/Text.h"
#include "main/Commands.h"
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
        value < 0 || value > sim::kLongestReplay)
        return std::nullopt;
    return value;
}

} // namespace

int runReplay(Invocation call) {
    const auto eventsFile = *call.option("--events");
    std::optional<double> until;
    if (const auto text = call.option("--until")) {
        until = parseSeconds(*text);
        if (!until) {
            std::cerr << "tidemark replay: --until expects seconds from 0 to "
                      << std::int64_t(sim::kLongestReplay) << " (a year), got '"
                      << text::printable(*text) << "'\n";
            return kExitUsage;
        }
    }
    std::vector<sim::ScriptedEvent> events;
    try {
        events = sim::loadEventScript(eventsFile);
    } catch (const sim::ScenarioError& e) {
        std::cerr << "tidemark: " << e.what() << "\n";
        return kExitUsage;
    }
    const bool ui = call.flag("--ui");
    if (!ui)
        for (const auto& event : events)
            if (sim::isInteraction(event.kind)) {
                std::cerr << "tidemark replay: " << eventsFile << ": event at " << event.at
                          << " s is an interaction, which needs --ui\n";
                return kExitUsage;
            }
    for (const auto& happening : sim::replay(std::move(*call.scenario), events, until, ui))
        std::cout << sim::formatHappening(happening) << "\n";
    return kExitOk;
}

} // namespace tidemark::cli
