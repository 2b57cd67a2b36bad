#include "platform/linux/live/LiveApp.h"

#include "main/Commands.h"

#include <cstdlib>
#include <iostream>

namespace tidemark::cli {

int runLiveApp(Invocation) {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        std::cerr << "tidemark: no X display (DISPLAY is not set); `tidemark demo --out DIR` "
                     "draws the app offscreen\n";
        return kExitFailure;
    }
    const auto ended = linux_platform::live::runLiveApp();
    if (!ended.error.empty())
        std::cerr << "tidemark: " << ended.error << "\n";
    return ended.status;
}

} // namespace tidemark::cli
