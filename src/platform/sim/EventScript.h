#pragma once

#include "foundation/Value.h"
#include "platform/sim/Scenario.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidemark::sim {

enum class EventKind {
    ActiveSpaceChanged,
    AppLaunched,
    AppHidden,
    AppUnhidden,
    AppActivated,
    AppDeactivated,
    AppTerminated,
    ScreenParametersChanged,
    ButtonPressed,
    ScreensSlept,
    ScreensWoke,
    SessionResigned,
    SessionActivated,
    MemoryPressure,
    RefreshRequested,
    SetSetting,
    SetAppearance,
    SetDisplays,
    SetWindows,
    SetApps,
};

// The latest time an event script or a replay may reach, in seconds of virtual time: a year.
// Far beyond it a half-second step would no longer move the clock.
inline constexpr double kLongestReplay = 365.0 * 24 * 60 * 60;

// One timed happening of an event script; only the members of its kind are set.
struct ScriptedEvent {
    double at = 0;
    EventKind kind = EventKind::RefreshRequested;
    std::int32_t pid = 0;
    std::optional<std::string> bundleIdentifier;
    std::string key;
    std::optional<Value> value; // absent: null (removes a setting, or "answers nothing")
    Appearance appearance = Appearance::Light;
    std::vector<App> apps;
};

// Parses an event script (a JSON array); errors are ScenarioErrors naming the origin, the
// member and the reason. Events come back in time order, equal times in array order.
std::vector<ScriptedEvent> parseEventScript(std::string_view json, const std::string& origin);
std::vector<ScriptedEvent> loadEventScript(const std::filesystem::path& file);

} // namespace tidemark::sim
