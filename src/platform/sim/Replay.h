#pragma once

#include "platform/sim/EventScript.h"
#include "platform/sim/Scenario.h"

#include <optional>
#include <string>
#include <vector>

namespace tidemark {
class SpaceObserver;
} // namespace tidemark

namespace tidemark::sim {

struct SimPlatform;

// One line of a replay: a refresh (with whether it published) or a timer start or stop.
struct ReplayHappening {
    enum class Kind { Refresh, TimerStarted, TimerStopped };
    double at = 0;
    Kind kind = Kind::Refresh;
    bool published = false;

    friend bool operator==(const ReplayHappening&, const ReplayHappening&) = default;
};

// Launches on the scenario at virtual time 0, feeds the events at their times and runs the
// main queue until `until` (default: one second after the last event).
std::vector<ReplayHappening> replay(Scenario scenario, const std::vector<ScriptedEvent>& events,
                                    std::optional<double> until = std::nullopt);

// What replay does with one event at its time: posts its notification or changes the world.
void applyEvent(const ScriptedEvent& event, SimPlatform& platform, SpaceObserver& observer);

// {"at": 0.150, "kind": "refresh", "published": true}, the time with three decimals.
std::string formatHappening(const ReplayHappening& happening);

} // namespace tidemark::sim
