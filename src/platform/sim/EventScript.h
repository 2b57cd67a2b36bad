#pragma once

#include "foundation/Value.h"
#include "platform/scenario/Scenario.h"
#include "statusbar/ViewPorts.h"

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
    KeyDown,
    KeyUp,
    // The headless app's events (replay --ui).
    PointerEntered,
    PointerExited,
    PointerMoved,
    PanelEntered,
    PanelExited,
    MouseDown,
    MouseUp,
    Scroll,
    Popover,
    AlertButton,
    SetTrusted,
    DumpModel,
    RowDragged,
    RowDropped,
};

// Whether an event needs the headless app (replay --ui).
bool isInteraction(EventKind kind);

// A control of the hover panel.
enum class PopoverAction { QuitApp, QuitAll, Scan, Clean, CleanAll, DismissResidual, Sleep };

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
    // keyDown / keyUp: the virtual key code and the hot-key service's modifier bits.
    std::uint32_t keyCode = 0;
    std::uint32_t modifiers = 0;
    // Interaction: pointer and button events (x from the button's left edge, y from its
    // top), panel controls, alert answers, the permission.
    Point point;
    MouseButton button = MouseButton::Left;
    ModifierFlags mouseModifiers = ModifierFlags::None;
    // scroll: whole notches, positive downwards.
    int notches = 0;
    PopoverAction action = PopoverAction::QuitApp;
    int index = 0;
    bool trusted = false;
};

// Parses an event script (a JSON array); errors are ScenarioErrors naming the origin, the
// member and the reason. Events come back in time order, equal times in array order.
std::vector<ScriptedEvent> parseEventScript(std::string_view json, const std::string& origin);
std::vector<ScriptedEvent> loadEventScript(const std::filesystem::path& file);

} // namespace tidemark::sim
