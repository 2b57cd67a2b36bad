#pragma once

#include "platform/linux/DesktopSession.h"
#include "platform/linux/live/LiveApp.h"

namespace tidemark::linux_platform::live {

// The app under a Wayland compositor that `session` names: the strip as a layer surface on
// the compositor's first output, the menu, preferences and about windows as Qt windows (Qt's
// Wayland platform where it is installed, else offscreen), until the user quits or the
// compositor goes away. A second app on the same Wayland display refuses.
LiveAppExit runWaylandLiveApp(DesktopSession session);

} // namespace tidemark::linux_platform::live
