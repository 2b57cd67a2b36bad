#include "platform/linux/x11/DisplayCheck.h"

#include <cstdlib>
#include <xcb/xcb.h>

namespace tidemark::linux_platform {

bool displayAnswers(std::string& error) {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    if (answers)
        return true;
    error = cannotConnectLine();
    return false;
}

std::string cannotConnectLine() {
    const char* display = std::getenv("DISPLAY");
    return std::string("cannot connect to the X server") +
           (display && *display ? std::string(" on ") + display : " (DISPLAY is not set)");
}

} // namespace tidemark::linux_platform
