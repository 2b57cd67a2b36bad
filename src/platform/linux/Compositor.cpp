#include "platform/linux/Compositor.h"

namespace tidemark::linux_platform {

bool compositorRunning(XConnection& x) {
    auto& ewmh = x.ewmh();
    int screen = 0;
    while (screen + 1 < ewmh.nb_screens && ewmh.screens[screen]->root != x.root())
        ++screen;
    xcb_window_t owner = XCB_NONE;
    const auto cookie = xcb_ewmh_get_wm_cm_owner(&ewmh, screen);
    if (!xcb_ewmh_get_wm_cm_owner_reply(&ewmh, cookie, &owner, nullptr))
        return false;
    return owner != XCB_NONE;
}

} // namespace tidemark::linux_platform
