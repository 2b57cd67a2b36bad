#include "platform/linux/x11/Compositor.h"

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

void requestBlurBehind(XConnection& x, xcb_window_t window) {
    static constexpr char kName[] = "_KDE_NET_WM_BLUR_BEHIND_REGION";
    const auto cookie = xcb_intern_atom(x.raw(), 0, sizeof kName - 1, kName);
    const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(x.raw(), cookie, nullptr));
    if (!reply)
        return;
    // No rectangles: the whole window.
    xcb_change_property(x.raw(), XCB_PROP_MODE_REPLACE, window, reply->atom, XCB_ATOM_CARDINAL, 32,
                        0, nullptr);
    xcb_flush(x.raw());
}

} // namespace tidemark::linux_platform
