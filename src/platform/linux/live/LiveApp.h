#pragma once

#include <string>

namespace tidemark::linux_platform::live {

struct LiveAppExit {
    int status = 0;
    // Why the app could not start, in one line; empty when it ran.
    std::string error;
};

// The strip, its menu, preferences and hover panel on the X display named by DISPLAY, until
// the user quits or the X server goes away. A second app on the same display refuses.
LiveAppExit runLiveApp();

} // namespace tidemark::linux_platform::live
