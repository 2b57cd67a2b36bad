#pragma once

#include "foundation/EventChannel.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tidemark {

// What the workspace announces: the active space, an app's life, the screens' and the
// session's state, the display arrangement and the appearance.
enum class WorkspaceEventKind {
    ActiveSpaceChanged,
    AppLaunched,
    AppTerminated,
    AppHidden,
    AppUnhidden,
    AppActivated,
    AppDeactivated,
    ScreensSlept,
    ScreensWoke,
    SessionResigned,
    SessionBecameActive,
    ScreenParametersChanged,
    AppearanceChanged,
};

// The app an event is about, as the workspace knew it when it posted.
struct EventApp {
    std::int32_t pid = 0;
    std::optional<std::string> bundleIdentifier;
};

struct WorkspaceEvent {
    WorkspaceEventKind kind = WorkspaceEventKind::ActiveSpaceChanged;
    // Present for the app events.
    std::optional<EventApp> app = std::nullopt;
};

// Delivered synchronously on the poster's thread (the main queue).
using WorkspaceEvents = EventChannel<WorkspaceEvent, &WorkspaceEvent::kind>;

} // namespace tidemark
