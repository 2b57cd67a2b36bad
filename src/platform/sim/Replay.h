#pragma once

#include "platform/scenario/Scenario.h"
#include "platform/sim/EventScript.h"

#include <optional>
#include <string>
#include <vector>

namespace tidemark {
class SpaceObserver;
} // namespace tidemark

namespace tidemark::sim {

struct SimPlatform;

// One line of a replay: a refresh (with whether it published) or a timer start or stop;
// with the headless app also what a user would see and what the system was asked.
struct ReplayHappening {
    enum class Kind {
        Refresh,
        TimerStarted,
        TimerStopped,
        Image,
        PanelShown,
        PanelMoved,
        PanelHidden,
        MenuOpened,
        Gesture,
        Alert,
        QuitRequest,
        Signal,
        SleepRequest,
        Model,
        MoveRequest,
    };
    double at = 0;
    Kind kind = Kind::Refresh;
    bool published = false;
    // The line's other members as JSON text, in order: "\"width\": 18.00, ...".
    std::string members;

    friend bool operator==(const ReplayHappening&, const ReplayHappening&) = default;
};

// Launches on the scenario at virtual time 0, feeds the events at their times and runs the
// main queue until `until` (default: one second after the last event). With `ui` the
// headless app runs: the status item, its hover panel and the popover model take the
// interaction events. Without it interaction events are ignored.
std::vector<ReplayHappening> replay(Scenario scenario, const std::vector<ScriptedEvent>& events,
                                    std::optional<double> until = std::nullopt, bool ui = false);

// What replay does with one event at its time: posts its notification or changes the world.
// Interaction events are left to the headless app.
void applyEvent(const ScriptedEvent& event, SimPlatform& platform, SpaceObserver& observer);

// {"at": 0.150, "kind": "refresh", "published": true}, the time with three decimals.
// Interaction lines carry their members after the kind.
std::string formatHappening(const ReplayHappening& happening);

} // namespace tidemark::sim
